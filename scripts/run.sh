#!/usr/bin/env bash
# Builds the program and computes a constant: by default 1000 hexadecimal
# digits of pi by Machin's formula. Any arguments replace that request.
# Needs only a C/C++ compiler, CMake and Ninja: the tests and benchmarks are
# left out of the first configuration of build/ (scripts/test.sh adds them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build build --target vexo_x86_64
if [ $# -eq 0 ]; then set -- 1000 pi 16 2; fi
exec build/vexo_x86_64 "$@"
