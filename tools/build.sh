#!/usr/bin/env bash
# Builds both configurations into build/: build/win32 (the program, the SRM
# stand-in, srmctl and the Win32 tests) and build/native (pure logic, sanitized
# unit tests, benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
out="${RP_BUILD:-build}"   # another directory for side-by-side builds

cmake -S . -B "$out/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/win32" -j"$jobs"

cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out/native" -j"$jobs"
