# Sourced by the scripts that run Windows programs: a private Wine prefix under
# the build folder, quiet, without the optional components whose set-up would
# stall the first start, and without the crash debugger, which would wait
# forever for someone to look at a crashed program.
source "$(dirname "${BASH_SOURCE[0]}")/emulation.sh"

export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

# Runs a command of Wine's (wine, wineserver, wineboot); where 32-bit
# programs run emulated, its 32-bit processes get the fixes Wine needs there.
run_wine() {
    if i386_runs_natively; then
        "$@"
    else
        LD_PRELOAD="${wine_fixes_preload}${LD_PRELOAD:+:$LD_PRELOAD}" "$@"
    fi
}

# Creates the prefix once, before programs start in parallel.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        run_wine wineboot --init >/dev/null 2>&1 || true
        # No window system here: the null graphics driver keeps Wine quiet.
        run_wine wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
        run_wine wineserver --wait >/dev/null 2>&1 || true
    fi
}

# One Wine server for a whole session of programs: each then starts in a
# fraction of the time a cold server takes (seconds under emulation). The
# server and the services that stay with it are started with no terminal or
# pipe of ours, so nothing waits on them.
start_wine_session() {
    wine_prefix_ready
    # A server that runs already (another session's) is as good as our own.
    run_wine wineserver -p </dev/null >/dev/null 2>&1 || true
    run_wine wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

end_wine_session() {
    run_wine wineserver -k >/dev/null 2>&1 || true
}
