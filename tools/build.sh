#!/usr/bin/env bash
# Builds both configurations into build/: build/win32 (the program, the SRM
# stand-in, srmctl, rpsettings and the Win32 tests) and build/native (pure
# logic, sanitized unit tests, benchmark).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
out="${RP_BUILD:-build}"   # another directory for side-by-side builds

# ccache, where installed, shares compiled objects between checkouts.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$(pwd)")}" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$out/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$out/win32" -j"$jobs"

cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$out/native" -j"$jobs"
