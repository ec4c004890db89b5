#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds, default 20) on a copy of its corpus in the tree. Every target is
# linked with the pure logic (settings/ and every *_pure.cpp), as the
# native tests are.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
out=build/fuzz
mkdir -p "$out"
status=0
shopt -s nullglob
pure=(settings/*.cpp base/*_pure.cpp session/*_pure.cpp pages/*_pure.cpp panel/*_pure.cpp app/*_pure.cpp
      rpsettings/*_pure.cpp)
includes=(-I . -I res -I base -I settings -I session -I pages -I panel -I app -I rpsettings)
for target in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$target" .cpp)
    clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        "${includes[@]}" "$target" "${pure[@]}" -o "$out/$name"
    work=$(mktemp -d)
    cp -r "tests/fuzz/corpus/$name/." "$work/" 2>/dev/null || true
    if ! "$out/$name" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$out/" "$work" >"$out/$name.log" 2>&1; then
        echo "$name: FAILED (see $out/$name.log)"; tail -n 30 "$out/$name.log"; status=1
    else
        echo "$name: $(grep -E '^Done [0-9]+ runs' "$out/$name.log" | tail -n 1)"
    fi
    rm -rf "$work"
done
exit $status
