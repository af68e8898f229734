#!/usr/bin/env bash
# Sets up and builds Zonesmith, then opens the editor on the bundled demo area.
# With no display to open a window on, it prints what the demo area holds and
# writes its map as an image instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display to open the editor on; the demo area holds:"
    "$root/build/src/cli/zonesmith-cli" stats --dir "$root/demo" 88.wld 88.obj 88.mob 88.zon
    "$root/build/src/app/zonesmith" --export-map "$root/build/demo-map.png" --room 8800 --dir "$root/demo"
    echo "Its map: $root/build/demo-map.png"
    exit 0
fi
# The whole area (rooms, reset commands, objects and mobiles), so that every
# editor has something to show; the file opened last, the mobiles, makes the
# mobile editor current.
exec "$root/build/src/app/zonesmith" --dir "$root/demo" "$root/demo/88.wld" "$root/demo/88.zon" \
    "$root/demo/88.obj" "$root/demo/88.mob" "$@"
