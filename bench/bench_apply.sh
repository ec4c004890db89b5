#!/usr/bin/env bash
# Benchmark (not a test): rpsettings apply of one file to 1 printer and to N
# printers (default 50) of the stand-in, each with a device delay (default
# 200 ms) on its synchronous reads and writes of the settings block.
#   bench/bench_apply.sh [N] [DELAY_MS]
# Run from the source tree after tools/build.sh; it makes its own Wine session.
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-50}"
delay="${2:-200}"
bin=build/win32/bin
source tools/wine-session.sh
wine_session_start
trap wine_session_stop EXIT

ctl() { wine "$bin/srmctl.exe" "$@" >/dev/null; }
names=()
for i in $(seq 1 "$count"); do
    ctl add "BENCH-$i"
    ctl delay "BENCH-$i" "$delay"
    names+=("BENCH-$i")
done
file="$RP_WINE_BASE/bench.txt"
printf 'model=Tilbury 550TK\nversion=1\npageLength=60\n[format1]\nleftMargin=10\n' >"$file"

run() {
    local start end
    start=$(date +%s.%N)
    wine "$bin/rpsettings.exe" apply "$file" "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
wine "$bin/rpsettings.exe" apply "$file" BENCH-1 >/dev/null   # warm-up
one=$(run BENCH-1)
all=$(run "${names[@]}")
echo "device delay ${delay} ms: apply to 1 printer ${one} s, to ${count} printers ${all} s," \
     "ratio $(echo "scale=2; $all / $one" | bc)"
