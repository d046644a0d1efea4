#!/usr/bin/env bash
# Builds the program and computes a constant: by default 1000 hexadecimal
# digits of pi by Machin's formula. Any arguments replace that request.
#
# Standard output is the program's alone, and the exit status is its own:
# whatever the set-up and the build print goes to standard error, so that
# `scripts/run.sh 1000 pi 16 2 > pi.txt` keeps just the digits.
#
# Needs only a C/C++ compiler, CMake and Ninja: a new build/ is configured
# without the tests and benchmarks (scripts/test.sh adds them).
#   BUILD_DIR=dir scripts/run.sh ...   builds in dir instead of build/
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
scripts/deps.sh build >&2
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF >&2
fi
cmake --build "$build" --target vexo_x86_64 >&2
if [ $# -eq 0 ]; then set -- 1000 pi 16 2; fi
exec "$build/vexo_x86_64" "$@"
