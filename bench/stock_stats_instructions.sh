#!/usr/bin/env bash
# Counts the instructions `zonesmith-cli stats` takes over the whole stock
# CircleMUD world, imported into the current layouts (all four kinds), with
# valgrind's callgrind. Instruction counts repeat from run to run, unlike
# times on a busy machine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cli="$root/build/src/cli/zonesmith-cli"
corpus="$root/../shared/corpus/circlemud-stock"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$cli" convert --yes -o "$work" "$corpus"/{wld,obj,mob,zon}/*.{wld,obj,mob,zon} >/dev/null 2>&1 || true
cd "$work"
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$cli" stats *.wld *.obj *.mob *.zon \
    2>&1 >/dev/null | grep -E "Collected"
