#!/usr/bin/env bash
# Sets up and builds Zonesmith, then runs the whole test suite through ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tools/packages.sh"
# Only the tests need it: they check the desktop entry with it.
need_packages desktop-file-utils
bash "$root/tools/setup.sh"
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)"
