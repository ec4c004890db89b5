#!/usr/bin/env bash
# Start-up and round-trip benchmarks under Wine (not tests): builds the
# program and the benchmark targets, then in one fresh Wine session with a
# printer made by `srmctl add` runs
#   bench_startup.exe RUNS     the panel against the limit program, alternately
#   bench_roundtrip.exe        read and update round trips inside the panel
# On a machine with more than one CPU it then does the same again with the
# whole session (Xvfb, the Wine server, both programs) on one CPU: there the
# figures count the work the programs do, not how long an idle CPU takes to
# wake up for each request to the Wine server.
# Usage: tools/bench-startup.sh [RUNS]   (at least 7, default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-15}"
build="${RP_BUILD:-build}/win32"

# RP_BENCH_ROUND names the one-CPU round the script runs itself in; that round
# uses what the first one built.
if [ -z "${RP_BENCH_ROUND:-}" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then tools/build.sh; fi
    cmake --build "$build" --target RemotePanel srmctl bench_limit bench_startup bench_roundtrip -j2 >/dev/null
fi

cpus=$(nproc 2>/dev/null || echo 1)
echo "== ${RP_BENCH_ROUND:-all $cpus CPUs}"
(
    source tools/wine-session.sh
    wine_session_start
    trap wine_session_stop EXIT
    bin="$build/bin"
    wine "$bin/srmctl.exe" add TK-1 >/dev/null
    wine "$bin/bench_startup.exe" "$runs"
    wine "$bin/bench_roundtrip.exe"
)

if [ -z "${RP_BENCH_ROUND:-}" ] && [ "$cpus" -gt 1 ] && command -v taskset >/dev/null; then
    echo
    RP_BENCH_ROUND="one CPU (taskset -c 0)" exec taskset -c 0 "$0" "$runs"
fi
