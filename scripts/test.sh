#!/usr/bin/env bash
# Builds the program with its tests and runs every test.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
# Set CI to build with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
dir=build
opts=(-DCMAKE_BUILD_TYPE=Release -DVEXO_SANITIZE=OFF)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_SANITIZE=ON)
fi
opts+=(-DVEXO_BUILD_TESTS=ON -DVEXO_BUILD_BENCH=OFF -DVEXO_FUZZ=OFF)
[ -n "${CI:-}" ] && opts+=(-DVEXO_WERROR=ON)
cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
