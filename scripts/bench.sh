#!/usr/bin/env bash
# Measures the mod: the Google Benchmark suite (preset linux-bench, -O2) in the
# in-process stand-in host for each world (typical: the sample data; large:
# 10,000 bus points and thousands of places; huge: large with 100,000 bus
# points), then the real DLL under Wine as whole processes, the stand-in
# with and without the plug-in. Results land in build/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
out="${root}/build/bench"
mkdir -p "$out"

cmake --preset linux-bench >/dev/null
cmake --build --preset linux-bench -j "${JOBS:-2}" --target corvalen_bench >/dev/null
bench="${root}/build/linux-bench/bench/corvalen_bench"
for world in typical large huge; do
    echo "== world: ${world}"
    # The long drive and the file benchmarks say what grows; the huge world
    # needs only those.
    filter="."
    [ "$world" = huge ] && filter="long_drive|bus_stops"
    CORVALEN_BENCH_WORLD="$world" "$bench" --benchmark_filter="$filter" \
        --benchmark_out="${out}/${world}.json" --benchmark_out_format=json \
        --benchmark_counters_tabular=true
done

# The real DLL under Wine: the same frames with and without the plug-in, timed
# as whole processes; the difference is the plug-in's share.
source scripts/wine-env.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "${JOBS:-2}" --target corvalen hostsim hostsim_1070 >/dev/null
start_wine_session
trap end_wine_session EXIT
frames="${WINE_FRAMES:-20000}"
game="${out}/wine-game"
rm -rf "$game" && mkdir -p "$game" && cp -r data/corvalen "$game/corvalen"
host_exe="${root}/build/windows/hostsim/hostsim_1070.exe"
seconds() {
    local started ended
    started=$(date +%s%N)
    (cd "$game" && run_wine wine "$host_exe" "$@" --frames "$frames" >/dev/null 2>&1)
    ended=$(date +%s%N)
    echo $(((ended - started) / 1000))
}
without=$(seconds)
with=$(seconds --plugin "Z:${root}/build/windows/corvalen.dll")
echo "== Wine, ${frames} frames, typical world: without the plug-in ${without} us," \
    "with it ${with} us: $(((with - without) / frames)) us per frame for the plug-in" |
    tee "${out}/wine.txt"
