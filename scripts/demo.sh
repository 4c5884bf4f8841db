#!/usr/bin/env bash
# Builds the plug-in DLL and the stand-in host, then runs the real DLL in the
# stand-in for both supported game builds (under Wine), and once in a build it
# does not know. The 1.0.7.0 run opens the main menu with F12, moves down with
# NUMPAD 2 and chooses with NUMPAD 5; the 1.0.8.0 run saves and loads a game,
# which keeps its save identity. The timelines show what the player saw. A
# transit scene runs two minutes of game time on the demo's own small bus
# network (scripts/demo/bus_stops.csv): buses appear around the player, stop
# at their stops, and are removed once they wander off. The driver-mission
# scene has the player take a bus through two stops, where people board and
# pay him their fares, with the mission's panel of totals. The filling-station
# scene drives a car low on fuel into a gas station to fill up; the car-park
# scene leaves a car in a pay car park overnight, across a save and a load,
# and collects it for a ticket; the house-buying scene shops for a house with
# the estate agent, rests and saves there, and loads that save to stand at the
# door again.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

cmake --preset windows >/dev/null
cmake --build --preset windows -j "${JOBS:-2}" --target corvalen hostsim \
    hostsim_1070 hostsim_1080 hostsim_1071 >/dev/null
start_wine_session
trap end_wine_session EXIT

root="$(pwd)"
plugin="Z:${root}/build/windows/corvalen.dll"
run_host() {
    local exe="$1"
    shift
    local folder="${root}/build/demo/${exe}"
    rm -rf "$folder" && mkdir -p "$folder"
    # Wine's console ends lines in CR LF; the timelines are shown as written.
    (cd "$folder" && run_wine wine "${root}/build/windows/hostsim/${exe}.exe" --plugin "$plugin" "$@") |
        tr -d '\r'
}

# Plays a scene in game $1 for $3 frames in build/demo/$2; sets $scene to its
# folder and $timeline to its timeline with plain line ends.
run_scene() {
    scene="${root}/build/demo/$2"
    rm -rf "$scene" && mkdir -p "$scene"
    (cd "$scene" && run_wine wine "${root}/build/windows/hostsim/$1.exe" --plugin "$plugin" \
        --scene "$2" --frames "$3" --record timeline.txt) | tr -d '\r' | tail -n 1
    timeline="${scene}/timeline.lf"
    tr -d '\r' <"${scene}/timeline.txt" >"$timeline"
}

# The first screen of a timeline that holds a line containing $1, and the last
# screen of a timeline: a screen is its "screen:" line and the lines under it.
screen_showing() {
    awk -v want="$1" '
        / screen: / { if (hit) exit; block = $0; inside = 1; next }
        inside && /^frame [0-9]+:   / { block = block "\n" $0; if (index($0, want)) hit = 1; next }
        { inside = 0; if (hit) exit }
        END { if (hit) print block }' "$2"
}
# The journal lines (not the screens) from the first line matching $1 to the
# next one matching $2.
journal_between() {
    awk -v from="$1" -v to="$2" '
        !on && $0 ~ from { on = 1 }
        on && /^frame [0-9]+: [^ ]/ && !/ screen: / { print }
        on && $0 ~ to { exit }' "$3"
}
last_screen() {
    awk '/ screen: / { block = $0; inside = 1; next }
         inside && /^frame [0-9]+:   / { block = block "\n" $0; next }
         { inside = 0 }
         END { print block }' "$1"
}

echo "== game 1.0.7.0: F12 opens the main menu, NUMPAD 2 moves down, NUMPAD 5 chooses"
run_host hostsim_1070 --frames 12 --press 3:0x58 --press 6:0x50 --press 8:0x4C --record -
echo
echo "== game 1.0.8.0: the game's save screen, then the save is loaded again"
run_host hostsim_1080 --frames 120 --save-screen 30 --load 80:1 --record -
echo
echo "== game 1.0.7.0: buses on a small network around the player; the timeline's transit lines,"
echo "   then the summary (vehicles_created, arrivals at stops, vehicles_released)"
transit_folder="${root}/build/demo/transit"
rm -rf "$transit_folder" && mkdir -p "$transit_folder/corvalen"
cp scripts/demo/bus_stops.csv "$transit_folder/corvalen/"
transit_summary="$(cd "$transit_folder" &&
    run_wine wine "${root}/build/windows/hostsim/hostsim_1070.exe" --plugin "$plugin" \
        --frames 3600 --record timeline.txt | tr -d '\r')"
grep -E ': vehicle [^ ]+ (created|at rest|released)' "$transit_folder/timeline.txt" | tr -d '\r'
echo "$transit_summary"
echo
echo "== driver mission (game 1.0.7.0): the player at the wheel of a bus presses B, drives"
echo "   through two stops where people board, and is paid their fares"
run_scene hostsim_1070 driver-mission 1970
echo "-- under way to the next stop: the prompt, the ground marker and the panel"
screen_showing 'Proceed to next stop.' "$timeline"
echo "-- at the stop while people board"
screen_showing 'Wait...' "$timeline"
echo "-- what happened: boarding, fares, getting out"
grep -vE ': (screen: |  |vehicle [^ ]+ door )' "$timeline"
echo "-- the panel's totals before the player gets out"
screen_showing 'revenue: $9' "$timeline"
echo
echo "== game 1.0.7.1 (not supported): the plug-in stays silent"
run_host hostsim_1071 --frames 30
echo
echo "== filling station (game 1.0.8.0): the estate car runs low, drives into the gas station,"
echo "   fills up, pays by the litre and drives on"
run_scene hostsim_1080 filling-station 900
echo "-- the fuel display as the drive starts"
screen_showing 'text "fuel ' "$timeline"
echo "-- standing in the station: its name, the car's condition and the pump menu"
screen_showing 'Fill up Gas' "$timeline"
echo "-- the tank is full: the player pays by the litre"
grep ': cash ' "$timeline"
screen_showing 'Fuel cost $' "$timeline"
echo "-- driving on with a full tank"
last_screen "$timeline"
echo
echo "== car park (game 1.0.7.0, time zone IST-5:30): the coupe is left in a pay car park at 22:30,"
echo "   the save screen autosaves it, the save is loaded again, and at 08:00 the player collects it"
echo "   (the plug-in autosaves at most every 12 s of wall clock: the demo waits 13 s for it)"
run_scene hostsim_1070 car-park 260
echo "-- getting out in the car park"
screen_showing 'Vehicle Parked' "$timeline"
echo "-- the autosave's car file, corvalen/1/pub_parking_cars.csv: model, position, heading,"
echo "   colours, wear, fuel record, engine, body, value, extras, tag, area, parked at, odometer"
cat "${scene}/corvalen/1/pub_parking_cars.csv"
echo "-- saved, loaded again: the coupe is re-created where it stood"
grep -E ': (save screen|game saved|game loaded|vehicle 0x[0-9A-F]+ (created|kept)|scene: )' "$timeline"
echo "-- 08:00 next morning: the player gets in and pays the overnight ticket"
grep -E ': (cash|area code) ' "$timeline"
screen_showing 'Ticket $' "$timeline"
echo
echo "== house buying (game 1.0.7.0): the estate agent walks with the player to a house for sale,"
echo "   the player buys it, rests there and saves, walks off, and loads that save"
run_scene hostsim_1070 house-buying 420
echo "-- at the office: the prompt and the panel"
screen_showing 'shop for properties' "$timeline"
echo "-- the agent comes and joins the player"
journal_between ': pedestrian ' ': blip .* on ' "$timeline"
echo "-- at the house for sale: the prompt and the panel"
screen_showing 'FOR SALE' "$timeline"
echo "-- the purchase, the agent's farewell, the rest and the save; the saved position is"
echo "   cleared once the save screen is over"
journal_between ': cash 50000' ': float stat 212 = 0.00' "$timeline"
echo "-- the save is loaded: the player stands at the door"
journal_between 'scene: the player loads' ': player moved ' "$timeline"
last_screen "$timeline"
echo
echo "Save folders the plug-in created:"
(cd "${root}/build/demo" && find . -path '*/corvalen/*' -type d | sort)
