#!/usr/bin/env bash
# Plays a day in the city with the real corvalen.dll in the stand-in host under
# Wine: the whole day (scripts/scenarios/day-in-the-city.txt) on game 1.0.7.0,
# then a night out on 1.0.8.0. The readable timeline is printed as the day
# goes; everything lands in demo-out/: the timeline, the pictures, the data
# folder as the plug-in left it, and index.html (when the pictures renderer,
# render_demo, is built). The 1.0.8.0 run goes to demo-out/1080/.
#
#   make demo                      the day, then the night out
#   make demo SCENARIO=path        that script instead (BUILD=1080 for the other game)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

root="$(pwd)"
out="${root}/demo-out"
runs="${root}/build/demo"

cmake --preset windows >/dev/null
cmake --build --preset windows -j "${JOBS:-2}" --target corvalen hostsim hostsim_1070 hostsim_1080 \
    >/dev/null
# The pictures come from a Linux program; without it the demo still runs.
renderer=""
if cmake --preset linux >/dev/null 2>&1 &&
    cmake --build --preset linux -j "${JOBS:-2}" --target render_demo >/dev/null 2>&1; then
    renderer="$(find "${root}/build/linux" -name render_demo -type f -perm -u+x | head -n 1)"
fi
start_wine_session
trap end_wine_session EXIT

# Plays script $2 on game build $1 into output folder $3; its game folder is
# build/demo/<name of $3>. Prints the timeline as it goes and one line on how
# the plug-in fared; returns the host's exit code.
play() {
    local build="$1" script="$2" target="$3"
    local game="${runs}/$(basename "$target")"
    rm -rf "$game" "$target" && mkdir -p "$game" "$target"
    # Wine's console ends lines in CR LF; the last line is the JSON summary.
    set +e
    (cd "$game" && run_wine wine "${root}/build/windows/hostsim/hostsim_${build}.exe" \
        --plugin "Z:${root}/build/windows/corvalen.dll" --script "Z:${script}" \
        --out "Z:${target}") | tr -d '\r' | tee "${game}/output.txt" | grep -v '^{'
    local status=${PIPESTATUS[0]}
    set -e
    cp -r "${game}/corvalen" "${target}/corvalen" 2>/dev/null || true
    local summary
    summary="$(grep '^{' "${game}/output.txt" | tail -n 1)"
    if [ -z "$summary" ]; then
        echo "-- the script did not run"
        return "$status"
    fi
    field() { sed -E "s/.*\"$1\":([^,}]*).*/\\1/" <<<"$summary"; }
    echo "-- game $(field version | tr -d '"'): $(field frames) frames, plug-in loaded" \
        "$(field plugin_loaded), hooks $( [ "$(field corrupted)" = false ] && echo sound ||
            echo DISTURBED), host errors $(field host_errors)"
    if [ -n "$renderer" ]; then
        "$renderer" "$target" >/dev/null && echo "-- pictures and page: ${target#"$root"/}/index.html"
    fi
    return "$status"
}

status=0
if [ -n "${SCENARIO:-}" ]; then
    script="$(cd "$(dirname "$SCENARIO")" && pwd)/$(basename "$SCENARIO")"
    echo "== ${SCENARIO} on game ${BUILD:-1070}"
    play "${BUILD:-1070}" "$script" "$out" || status=$?
else
    echo "== A day in the city, game 1.0.7.0"
    play 1070 "${root}/scripts/scenarios/day-in-the-city.txt" "$out" || status=$?
    echo
    echo "== A night out, game 1.0.8.0"
    play 1080 "${root}/scripts/scenarios/a-night-out.txt" "${out}/1080" || status=$?
fi
[ -z "$renderer" ] && echo "(render_demo is not built here: no pictures or page)"
echo "Everything is in demo-out/."
exit "$status"
