# Sourced by the set-up scripts. need_packages PACKAGE... installs those of the
# Debian packages named that are missing, through sudo when not run as root.
# With neither root nor sudo it names the packages to install and stops.
need_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            cat >&2 <<MESSAGE
Zonesmith needs these Debian packages, which are not installed:
    ${missing[*]}
Installing them needs root, and this user is not root and has no sudo.
Install them as root, for example with
    su -c 'apt-get install ${missing[*]}'
then run this command again.
MESSAGE
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
