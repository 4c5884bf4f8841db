# Sourced by the scripts that run Windows programs: a private Wine prefix under
# the build folder, quiet, and without the optional components whose set-up
# would otherwise stall the first start.
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once, before programs start in parallel.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1 || true
        wineserver --wait >/dev/null 2>&1 || true
    fi
}
