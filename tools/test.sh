#!/usr/bin/env bash
# The whole test run: installs what is missing, builds both configurations,
# runs the native (sanitized) tests, a short bounded fuzz run, and the Win32
# tests under Wine in a fresh prefix. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then
    tools/install-deps.sh || { echo "install-deps failed"; echo "0 passed, 1 failed"; exit 1; }
fi
tools/build.sh || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
count_ctest() {  # reads ctest output on stdin, adds its counts
    local line log
    log=$(cat)
    if grep -q 'No tests were found' <<<"$log"; then return; fi
    line=$(printf '%s\n' "$log" | grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' | tail -n 1)
    if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
    local f total
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - f))
    failed=$((failed + f))
}

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --test-dir build/native --output-on-failure -j"$(nproc)" 2>&1 | tee build/native-ctest.log | tail -n 15
count_ctest <build/native-ctest.log

echo "== fuzzing (bounded)"
if tools/fuzz.sh "${RP_FUZZ_SECONDS:-20}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

echo "== Win32 tests under Wine"
source tools/wine-session.sh
wine_session_start
trap wine_session_stop EXIT
# One at a time: test programs that check the keyboard focus must not have
# their windows deactivated by another test program.
ctest --test-dir build/win32 --output-on-failure -j"${RP_WINE_JOBS:-1}" 2>&1 | tee build/win32-ctest.log | tail -n 25
count_ctest <build/win32-ctest.log
wine_session_stop
trap - EXIT

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
