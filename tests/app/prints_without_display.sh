#!/bin/sh
# Usage: prints_without_display.sh PROGRAM OPTION TEXT
# Runs PROGRAM OPTION with no display and no Qt platform named, and passes when
# it exits with 0 and prints TEXT.
program="$1" option="$2" text="$3"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option") || {
    echo "$program $option exited with $?"
    exit 1
}
case "$out" in
*"$text"*) exit 0 ;;
esac
printf '%s\n%s\n' "$out" "expected to find: $text"
exit 1
