#!/usr/bin/env bash
# Builds the core and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DZS_SANITIZE=address,undefined -DZS_BUILD_GUI=OFF -DZS_BUILD_BENCH=OFF \
    -DZS_WERROR="${ZS_WERROR:-OFF}" >/dev/null
cmake --build "$root/build-asan" -j "$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"
