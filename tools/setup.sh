#!/usr/bin/env bash
# Installs the Debian packages Zonesmith needs when any is missing, then
# configures and builds everything into build/. Safe to run again. Warnings
# are errors only when ZS_WERROR=ON is in the environment (.ci/run sets it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev zlib1g-dev
    clang-14 libclang-rt-14-dev
    fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZS_WERROR="${ZS_WERROR:-OFF}" >/dev/null
cmake --build "$root/build" -j "$(nproc)"
