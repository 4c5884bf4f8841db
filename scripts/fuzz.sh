#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, 32-bit) and runs each fuzz target in turn for
# FUZZ_SECONDS seconds (60 by default), starting from its committed corpus.
# Inputs that reach code no committed input reaches are merged into
# fuzz/corpus/<target>/; a crash, a hang or a failed round trip stops the
# run and leaves the input in build/fuzz/findings/. FUZZ_TARGETS picks
# targets (default: all); FUZZ_RUNS=N runs N inputs instead of a time.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
jobs="${JOBS:-2}"
targets="${FUZZ_TARGETS:-config stops stations fuel_data lots property owned_houses car_file numbers}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"

findings="$PWD/build/fuzz/findings"
mkdir -p "$findings"
status=0
for target in $targets; do
    # Absolute paths: the targets work in a folder of their own.
    program="$PWD/build/fuzz/fuzz/fuzz_${target}"
    corpus="$PWD/fuzz/corpus/${target}"
    fresh="$(mktemp -d)"
    log="$PWD/build/fuzz/${target}.log"
    if [ -n "${FUZZ_RUNS:-}" ]; then
        limit="-runs=${FUZZ_RUNS}"
    else
        limit="-max_total_time=${seconds}"
    fi
    echo "=== fuzz ${target}"
    # The first folder takes what this run finds; the corpus is only read.
    if "$program" "$limit" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="${findings}/${target}-" "$fresh" "$corpus" >"$log" 2>&1; then
        runs="$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")"
        before="$(find "$corpus" -type f | wc -l)"
        "$program" -merge=1 "$corpus" "$fresh" >>"$log" 2>&1
        after="$(find "$corpus" -type f | wc -l)"
        echo "    ${runs} runs, no finding, $((after - before)) inputs merged into ${corpus}"
    else
        echo "    finding: see ${log} and ${findings}/"
        tail -n 30 "$log"
        status=1
    fi
    rm -rf "$fresh"
done
exit $status
