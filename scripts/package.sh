#!/usr/bin/env bash
# Builds the release a player installs: corvalen-<version>.zip in the
# repository's top folder, to be unpacked into the game's folder. It holds the
# release DLL (size-optimised and stripped), the data folder with the
# configuration file written from the plug-in's settings table and the sample
# data, and the player's and modders' documents.
#
#   scripts/package.sh           build the package
#   scripts/package.sh --list    the files the package holds, one a line
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
jobs="${JOBS:-2}"

sample_data=(bus_stops.csv boat_stops.csv ship_stops.csv service_stations.csv fuel_data.csv
    pub_parking_lots.csv house_db.csv)

# Further programs of the release (a modder's tool, for instance): each entry
# reads "built file:place in the package", and build_extra_programs makes the
# built files. They are listed, staged and checked like every other file.
extra_programs=(
    "build/package-tools/corvalen-tool.exe:corvalen-tool/corvalen-tool.exe"
    "build/package-tools/corvalen-tool:corvalen-tool/corvalen-tool"
    "build/package-tools/DejaVuSans.ttf:corvalen-tool/DejaVuSans.ttf"
    "docs/tool.md:corvalen-docs/tool.md"
)
# The modders' tool for Windows and for Linux (32-bit), stripped, with the
# font it draws its maps' texts in beside it.
build_extra_programs() {
    echo "package: corvalen-tool"
    cmake --build --preset linux -j "$jobs" --target corvalen-tool >/dev/null
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs" --target corvalen-tool >/dev/null
    rm -rf build/package-tools
    mkdir -p build/package-tools
    i686-w64-mingw32-strip -o build/package-tools/corvalen-tool.exe build/windows/tools/corvalen-tool.exe
    strip -o build/package-tools/corvalen-tool build/linux/tools/corvalen-tool
    cp build/linux/tools/DejaVuSans.ttf build/package-tools/DejaVuSans.ttf
}

# Every file of the package: "source:place in the package". The per-save
# folders are not shipped: the plug-in makes them as the player saves.
package_files() {
    echo "build/windows-release/corvalen.dll:corvalen.dll"
    echo "build/linux/shipped/corvalen.conf:corvalen/corvalen.conf"
    local name
    for name in "${sample_data[@]}"; do
        echo "data/corvalen/${name}:corvalen/${name}"
    done
    echo "docs/README.md:corvalen-docs/README.md"
    echo "docs/data-files.md:corvalen-docs/data-files.md"
    local program
    for program in "${extra_programs[@]}"; do
        echo "$program"
    done
}

if [ "${1:-}" = "--list" ]; then
    package_files | cut -d: -f2
    exit 0
fi

echo "package: the shipped configuration (Linux build of shipped_config)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs" --target shipped_config_file >/dev/null
echo "package: the release DLL"
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release -j "$jobs" >/dev/null
build_extra_programs

version="$(cat build/windows-release/version.txt)"
stage="build/package/corvalen-${version}"
zip_file="${root}/corvalen-${version}.zip"
rm -rf "$stage" "$zip_file"
while IFS=: read -r source place; do
    if [ ! -f "$source" ]; then
        echo "package: $source is missing" >&2
        exit 1
    fi
    mkdir -p "$(dirname "${stage}/${place}")"
    cp "$source" "${stage}/${place}"
done < <(package_files)

# The same sources give the same archive: fixed times, no owner fields, no
# folder entries, files in a fixed order.
commit_time="$(git log -1 --format=%ct 2>/dev/null || echo 946684800)"
find "$stage" -exec touch -d "@${commit_time}" {} +
(cd "$stage" && package_files | cut -d: -f2 | TZ=UTC zip -q -X -D "$zip_file" -@)

dll_bytes="$(stat -c %s "${stage}/corvalen.dll")"
echo "package: ${zip_file#"${root}"/} (corvalen.dll ${dll_bytes} bytes)"
