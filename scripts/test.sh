#!/usr/bin/env bash
# Builds everything and runs every test.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
dir=build
opts=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_SANITIZE=ON -DVEXO_BUILD_BENCH=OFF)
fi
[ -n "${CI:-}" ] && opts+=(-DVEXO_WERROR=ON)
cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
