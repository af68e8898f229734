#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 into build-fuzz/ and runs each for
# a bounded time (seconds, default 60), seeded with the demo area, the stock
# corpus and sample server streams. A crash, a hang or a failed round trip
# fails the run. Installs clang 14 and its runtime libraries when they are
# missing.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tools/packages.sh"
need_packages cmake ninja-build zlib1g-dev clang-14 libclang-rt-14-dev
seconds="${1:-60}"
build="$root/build-fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZS_BUILD_FUZZ=ON -DZS_BUILD_GUI=OFF -DZS_BUILD_TESTS=OFF -DZS_BUILD_BENCH=OFF \
    -DZS_SANITIZE=address,undefined -DZS_WERROR="${ZS_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j "$(nproc)"

corpus="$root/../shared/corpus/circlemud-stock"
run() {  # target, seed file patterns...
    local target="$1"
    shift
    local work="$build/fuzz-corpus/$target"
    mkdir -p "$work"
    for f in "$@"; do [ -f "$f" ] && cp -n "$f" "$work/" 2>/dev/null || true; done
    echo "Fuzzing $target for ${seconds}s"
    local log="$build/$target.log" status=0
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/" "$work" >"$log" 2>&1 ||
        status=$?
    # The statistics when all went well; the whole report (the stack and the
    # input that failed) when not.
    if [ "$status" -eq 0 ]; then tail -n 12 "$log"; else grep -v "# Uses:" "$log" | tail -n 80; fi
    return "$status"
}
run fuzz_world "$root"/demo/*.wld "$root"/demo/*.wld_zs "$corpus"/wld/*.wld
run fuzz_zone "$root"/demo/*.zon "$corpus"/zon/*.zon
run fuzz_objects "$root"/demo/*.obj "$corpus"/obj/*.obj
run fuzz_mobiles "$root"/demo/*.mob "$corpus"/mob/*.mob
run fuzz_protocol "$root"/tests/fuzz/seeds/protocol/*
