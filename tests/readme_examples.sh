#!/usr/bin/env bash
# Runs the README's examples and compares what they print with what the
# README shows, so that the README stays true. An example is an HTML comment
# followed by an indented block, the output:
#
#   <!-- example: COMMAND -->           the block is the whole output
#   <!-- example lines: COMMAND -->     the block's lines come in the output,
#                                       in their order, among others
#
# and ", status N" after "example" or "lines" when the command exits with N
# (0 otherwise). Output is standard output and error together. Each command
# runs through bash in a scratch directory that holds a fresh copy of demo/,
# an empty newworld/ and, when the stock corpus is there, lib/world (the
# corpus) and myworld/ (the corpus converted as the README converts it).
# Examples that use the corpus are skipped without it (exit 77), except in CI
# (CI=true), where that fails.
#
# Usage: readme_examples.sh README SOURCE_DIR CORPUS_DIR NAME=PROGRAM...
# (each NAME, as the README calls a program, runs PROGRAM).
set -uo pipefail
readme=$1 source_dir=$2 corpus=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/examples" "$work/run"
for pair in "$@"; do
    ln -s "${pair#*=}" "$work/bin/${pair%%=*}"
done
export PATH="$work/bin:$PATH"

# Each example into examples/N.cmd, N.opts and N.out.
awk -v dir="$work/examples" '
    function flush_blanks() { for (; blanks > 0; blanks--) print "" > out }
    state == 2 && /^    / { flush_blanks(); print substr($0, 5) > out; next }
    state == 2 && /^$/ { blanks++; next }
    state == 2 { close(out); state = 0; blanks = 0 }
    state == 1 && /^$/ { next }
    state == 1 && /^    / { state = 2; print substr($0, 5) > out; next }
    state == 1 { print "README line " NR ": an example without its block" > "/dev/stderr"; exit 1 }
    /^<!-- example[^:]*: .* -->$/ {
        n++
        text = substr($0, 13, length($0) - 16)
        at = index(text, ": ")
        print substr(text, 1, at - 1) > (dir "/" n ".opts")
        print substr(text, at + 2) > (dir "/" n ".cmd")
        close(dir "/" n ".opts"); close(dir "/" n ".cmd")
        out = dir "/" n ".out"
        state = 1
    }
' "$readme" || exit 1

have_corpus=0
if [ -d "$corpus" ]; then
    mkdir -p "$work/run/lib"
    ln -s "$corpus" "$work/run/lib/world"
    (cd "$work/run" && zonesmith-cli convert --yes -o myworld lib/world/*/*.{wld,obj,mob,zon}) \
        >"$work/convert.log" 2>&1 || {
        echo "FAIL: the stock corpus does not convert:"
        tail -n 20 "$work/convert.log"
        exit 1
    }
    have_corpus=1
fi

ran=0 failed=0 skipped=0
for cmd_file in $(ls "$work/examples"/*.cmd 2>/dev/null | sort -V); do
    n=${cmd_file%.cmd}
    cmd=$(cat "$cmd_file")
    opts=$(cat "$n.opts")
    if [[ $cmd == *myworld* || $cmd == *lib/world* ]] && [ "$have_corpus" = 0 ]; then
        skipped=$((skipped + 1))
        continue
    fi
    want_status=0
    if [[ $opts =~ status\ ([0-9]+) ]]; then want_status=${BASH_REMATCH[1]}; fi
    rm -rf "$work/run/demo" "$work/run/newworld"
    cp -r "$source_dir/demo" "$work/run/demo"
    mkdir "$work/run/newworld"
    (cd "$work/run" && bash -c "$cmd") >"$n.got" 2>&1
    status=$?
    ran=$((ran + 1))
    problem=""
    if [ "$status" != "$want_status" ]; then
        problem="exit status $status, the README says $want_status"
    elif [[ $opts == *lines* ]]; then
        # The first line of the block not found after the one before it.
        missing=$(awk 'NR == FNR { want[++w] = $0; next }
                       at < w && $0 == want[at + 1] { at++ }
                       END { if (at < w) print want[at + 1] }' "$n.out" "$n.got")
        [ -n "$missing" ] && problem="no line \"$missing\" where the README shows it"
    elif ! cmp -s "$n.out" "$n.got"; then
        problem="the output differs from the README's (- README, + output):
$(diff "$n.out" "$n.got" | head -n 20)"
    fi
    if [ -n "$problem" ]; then
        failed=$((failed + 1))
        echo "FAIL: $cmd: $problem"
    else
        echo "ok: $cmd"
    fi
done

echo "$ran examples run, $failed failed, $skipped skipped"
[ "$ran" -gt 0 ] || { echo "FAIL: no examples found in $readme"; exit 1; }
[ "$failed" = 0 ] || exit 1
if [ "$skipped" -gt 0 ]; then
    echo "the stock corpus is missing at $corpus"
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
exit 0
