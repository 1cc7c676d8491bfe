#!/usr/bin/env bash
# Cross-builds the Windows program and its tests with mingw-w64 in a build folder of its
# own and runs them under Wine (one step of the Linux test suite).
#   run-windows-tests.sh SOURCE_DIR BUILD_DIR [JOBS]
set -euo pipefail
src=$1 build=$2 jobs=${3:-2}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j"$jobs"
cd "$build"
ctest --output-on-failure --timeout 600
