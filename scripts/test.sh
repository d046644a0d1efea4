#!/usr/bin/env bash
# Builds the program with its tests and runs every test.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
# An existing folder is reconfigured with the options below, whatever its
# generator.
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
# A folder that is already configured keeps its generator (CMake refuses to
# change it); a new one gets Ninja when it is installed.
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then
  opts+=(-G Ninja)
fi
cmake -S . -B "$dir" "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
