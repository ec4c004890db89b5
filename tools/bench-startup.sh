#!/usr/bin/env bash
# Start-up and round-trip benchmarks under Wine (not tests): builds the
# program and the benchmark targets, then in one fresh Wine session with a
# printer made by `srmctl add` runs
#   bench_startup.exe RUNS     the panel against the limit program, alternately
#   bench_roundtrip.exe        read and update round trips inside the panel
# Usage: tools/bench-startup.sh [RUNS]   (at least 7, default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-15}"
build="${RP_BUILD:-build}/win32"

if [ ! -f "$build/CMakeCache.txt" ]; then tools/build.sh; fi
cmake --build "$build" --target RemotePanel srmctl bench_limit bench_startup bench_roundtrip -j2 >/dev/null

source tools/wine-session.sh
wine_session_start
trap wine_session_stop EXIT
bin="$build/bin"
wine "$bin/srmctl.exe" add TK-1 >/dev/null
wine "$bin/bench_startup.exe" "$runs"
wine "$bin/bench_roundtrip.exe"
