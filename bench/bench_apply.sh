#!/usr/bin/env bash
# Benchmark (not a test): rpsettings against 1 printer and against N printers
# (default 50) of the stand-in, each with a device delay (default 300 ms) on
# its synchronous reads and writes of the settings block: apply of a small
# file, save --all into a folder, and check --all.
#   bench/bench_apply.sh [N] [DELAY_MS]
# Run from the source tree after tools/build.sh; it makes its own Wine session.
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-50}"
delay="${2:-300}"
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
work="$RP_WINE_BASE"
printf 'model=Tilbury 550TK\nversion=2\npageLength=60\n[format1]\nleftMargin=10\n' >"$work/a.txt"
printf 'model=Tilbury 550TK\nversion=2\npageLength=66\n[format1]\nleftMargin=0\n' >"$work/b.txt"

# Seconds one rpsettings run takes (its exit code does not matter here).
run() {
    local start end
    start=$(date +%s.%N)
    (cd "$work" && wine "$OLDPWD/$bin/rpsettings.exe" "$@" >/dev/null) || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
ratio() { echo "scale=2; $2 / $1" | bc; }
report() {  # name, one, all
    echo "$1: 1 printer $2 s, $count printers $3 s, ratio $(ratio "$2" "$3")"
}

run apply a.txt BENCH-1 >/dev/null  # warm-up
# Each apply changes the printers (a.txt and b.txt alternate), so every run writes.
one=$(run apply b.txt BENCH-1); all=$(run apply a.txt "${names[@]}")
report "device delay ${delay} ms: apply" "$one" "$all"
one=$(run save BENCH-1 one); all=$(run save --all site)
report "device delay ${delay} ms: save --all" "$one" "$all"
one=$(run check b.txt BENCH-1); all=$(run check b.txt --all)
report "device delay ${delay} ms: check --all" "$one" "$all"
