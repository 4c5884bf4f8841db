#!/usr/bin/env bash
# Builds the release package and checks it, then builds the three
# configurations and runs every test: the Linux build, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build under
# Wine. Ends with one line that totals the test counts.
#
# Where the kernel runs no 32-bit programs, all of them run through qemu's
# user-mode emulator (scripts/setup.sh registers it), which has no ptrace:
# LeakSanitizer, which stops the world with ptrace, is switched off there and
# the output says so; AddressSanitizer and UndefinedBehaviorSanitizer still run.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

jobs="${JOBS:-2}"
passed=0
failed=0
status=0

run_preset() {
    local preset="$1"
    echo "=== $preset: configure and build"
    if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
        echo "=== $preset: build failed"
        status=1
        failed=$((failed + 1))
        return
    fi
    echo "=== $preset: tests"
    local log
    log="$(mktemp)"
    ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local summary
    summary="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)"
    if [ -n "$summary" ]; then
        local total bad
        total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")"
        bad="$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")"
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    elif [ "$rc" -ne 0 ]; then
        failed=$((failed + 1))
    fi
    [ "$rc" -ne 0 ] && status=1
    rm -f "$log"
}

if ! i386_runs_natively; then
    echo "=== 32-bit programs run through qemu user-mode emulation"
    echo "=== linux-sanitize: LeakSanitizer skipped: it needs ptrace, which user-mode emulation lacks"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
fi
# The release package first: its check unpacks it where the Linux and Windows
# tests read the shipped files and the release DLL, and a missing package
# fails those tests instead of skipping them.
echo "=== package: build and check"
if scripts/package.sh && tests/package/check_package.sh; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    status=1
fi
export CORVALEN_PACKAGE_CHECK=1
for preset in linux linux-sanitize; do
    run_preset "$preset"
done
start_wine_session
trap end_wine_session EXIT
run_preset windows

echo
echo "total: $passed passed, $failed failed"
exit $status
