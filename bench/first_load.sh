#!/usr/bin/env bash
# Times `zonesmith-cli stats` over the 327 world files of the synthetic world
# in fresh processes: the first load of a world, page faults and all, which
# the in-process benchmarks cannot see. Prints the best and median wall time,
# the median processor time (user + system), the throughput of each, the
# largest peak resident memory and the median count of page faults.
#
#   bench/first_load.sh [RUNS] [CLI]
#
# CLI defaults to build-rel/src/cli/zonesmith-cli; the world is written by
# build-rel/bench/zonesmith_write_synthetic into a temporary directory.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-15}"
cli="${2:-$root/build-rel/src/cli/zonesmith-cli}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$root/build-rel/bench/zonesmith_write_synthetic" "$work" >/dev/null
cd "$work"
bytes=$(cat ./*.wld | wc -c)
# Wall time from the shell's clock (time's own is in hundredths); the rest
# from time.
for _ in $(seq "$runs"); do
    start=$EPOCHREALTIME
    /usr/bin/time -f "%U %S %M %R" -o "$work/t" "$cli" stats ./*.wld >/dev/null
    end=$EPOCHREALTIME
    echo "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }') $(cat "$work/t")"
done >"$work/times"
# The median of one column of the times.
median() { awk "{ print \$$1 }" "$work/times" | sort -g | sed -n "$(((runs + 1) / 2))p"; }
best=$(awk '{ print $1 }' "$work/times" | sort -g | head -1)
wall=$(median 1)
cpu=$(awk '{ print $2 + $3 }' "$work/times" | sort -g | sed -n "$(((runs + 1) / 2))p")
rss=$(awk '{ print $4 }' "$work/times" | sort -g | tail -1)
faults=$(median 5)
awk -v bytes="$bytes" -v runs="$runs" -v best="$best" -v wall="$wall" -v cpu="$cpu" \
    -v rss="$rss" -v faults="$faults" 'BEGIN {
    mb = bytes / 1e6
    printf "%.1f MB of world files, %d runs\n", mb, runs
    printf "wall: best %.3f s (%.0f MB/s), median %.3f s (%.0f MB/s)\n", best, mb / best, wall, mb / wall
    printf "processor (user + system), median: %.2f s (%.0f MB/s)\n", cpu, (cpu > 0 ? mb / cpu : 0)
    printf "peak resident at most %.1f MB (%.2f times the text); page faults (median) %d\n", rss * 1024 / 1e6, rss * 1024 / bytes, faults
}'
