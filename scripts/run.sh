#!/usr/bin/env bash
# Builds the program and computes a constant: by default 1000 hexadecimal
# digits of pi by Machin's formula. Any arguments replace that request.
#
# Standard output is the program's alone, and so is the exit status: whatever
# the set-up and the build print goes to standard error, so that
# `scripts/run.sh 1000 pi 16 2 > pi.txt` keeps just the digits. When the
# set-up or the build fails, nothing reaches standard output and the status
# is 125, which the program never returns (and which `git bisect run` reads
# as "cannot test this commit").
#
# Needs only a C/C++ compiler, CMake and Ninja. A build/ that already exists
# is used as it is, whatever its generator and options; a new one is
# configured without the tests and benchmarks (scripts/test.sh adds them),
# with Ninja when it is installed.
#   BUILD_DIR=dir scripts/run.sh ...   builds in dir instead of build/; a
#                                      relative dir is taken from the
#                                      project's top folder
set -euo pipefail
# set -e stops the script at the first failure; this turns its status into
# ours. A successful exec leaves the script before it can run.
trap 'exit 125' EXIT
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
scripts/deps.sh build >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
  generator=()
  if command -v ninja >/dev/null; then generator=(-G Ninja); fi
  cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF >&2
fi
# --config picks Release in a multi-configuration tree (Ninja Multi-Config),
# which puts the program in a folder of that name; other trees ignore it.
cmake --build "$build" --target vexo_x86_64 --config Release >&2
program=$build/vexo_x86_64
[ -x "$program" ] || program=$build/Release/vexo_x86_64
# A failed exec would end the script with 127, which `git bisect run` takes
# for a bad commit.
[ -x "$program" ] || { echo "run.sh: no program vexo_x86_64 in $build" >&2; exit 125; }
if [ $# -eq 0 ]; then set -- 1000 pi 16 2; fi
exec "$program" "$@"
