#!/usr/bin/env bash
# Checks the package scripts/package.sh made: the archive holds exactly the
# files the packaging script lists, each one the file it was made from, and
# the release DLL is a small 32-bit Windows DLL. Unpacks it into
# build/package/unpacked, where the plug-in's own tests then read the shipped
# configuration, the sample data and the DLL's import and export tables.
set -uo pipefail
cd "$(dirname "$0")/../.."

failures=0
fail() {
    echo "check_package: $*" >&2
    failures=$((failures + 1))
}

version="$(cat build/windows-release/version.txt 2>/dev/null)"
zip_file="corvalen-${version}.zip"
if [ -z "$version" ] || [ ! -f "$zip_file" ]; then
    echo "check_package: no package; run make package first" >&2
    exit 1
fi

listed="$(scripts/package.sh --list | sort)"
held="$(unzip -Z1 "$zip_file" | sort)"
if [ "$listed" != "$held" ]; then
    fail "the archive does not hold what the packaging script lists:"
    diff <(echo "$listed") <(echo "$held") >&2
fi

unpacked=build/package/unpacked
rm -rf "$unpacked" && mkdir -p "$unpacked"
unzip -q "$zip_file" -d "$unpacked" || fail "cannot unpack $zip_file"

for name in data/corvalen/*.csv; do
    cmp -s "$name" "${unpacked}/corvalen/$(basename "$name")" || fail "$name differs from the shipped copy"
done
cmp -s build/linux/shipped/corvalen.conf "${unpacked}/corvalen/corvalen.conf" ||
    fail "corvalen/corvalen.conf is not the file written from the settings table"
for name in README.md data-files.md; do
    cmp -s "docs/$name" "${unpacked}/corvalen-docs/$name" || fail "docs/$name differs from the shipped copy"
done

dll="${unpacked}/corvalen.dll"
headers="$(i686-w64-mingw32-objdump -p "$dll" 2>/dev/null)"
grep -q 'file format pei-i386' <<<"$headers" && grep -qx $'\tDLL' <<<"$headers" ||
    fail "corvalen.dll is not a 32-bit Windows DLL"
# A debug build is about nine times this; a release that grows past it has
# picked up symbols or a heavy part of the run time. (Most of today's 1.5 MiB
# is the C++ run time: float formatting, and the streams and locales that
# the file-system library brings along.)
limit=$((2048 * 1024))
[ "$(stat -c %s "$dll")" -le "$limit" ] || fail "corvalen.dll is $(stat -c %s "$dll") bytes, over $limit"
if i686-w64-mingw32-objdump -h "$dll" | grep -qE '\.debug_|\.stab'; then
    fail "corvalen.dll carries debug sections"
fi

[ "$failures" -eq 0 ] && echo "check_package: $zip_file holds what it lists"
exit $((failures > 0))
