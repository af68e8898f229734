#!/usr/bin/env bash
# Builds the server link's tests with ThreadSanitizer into build-tsan/ and runs
# them: the connection's I/O thread and its callers must share nothing
# without a lock.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DZS_SANITIZE=thread -DZS_BUILD_GUI=OFF -DZS_BUILD_BENCH=OFF \
    -DZS_WERROR="${ZS_WERROR:-OFF}" >/dev/null
cmake --build "$root/build-tsan" --target net_tests -j "$(nproc)"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$root/build-tsan/tests/net_tests"
