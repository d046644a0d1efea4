#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang and libFuzzer (plus
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each of them.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# seconds: how long each target runs (default 30). Targets: kernels, cli,
# printers (default: all three). Each run starts from the inputs kept in
# fuzz/corpus/<target>/ (regression inputs: every one of them is replayed
# first) and adds what it finds to build-fuzz/corpus/<target>/. Prints the
# executions of every target; fails if any target crashes or a check fails,
# and then leaves the crashing input in build-fuzz/crashes/.
#
# Environment: FUZZ_BUILD (build directory, default build-fuzz), CC, CXX
# (default clang, clang++), FUZZ_JOBS (parallel workers per target, default 1).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(kernels cli printers)

build=${FUZZ_BUILD:-build-fuzz}
cc=${CC:-clang}
cxx=${CXX:-clang++}
jobs=${FUZZ_JOBS:-1}
for tool in "$cc" "$cxx"; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool not found (apt-get install clang libclang-rt-14-dev)"; exit 1; }
done

sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
cxxflags=(-std=c++20 -O1 -g -Wall -Wextra -Iinclude -Isrc/vexo_x86_64 -Ifuzz -Itests/support "${sanitize[@]}")
mkdir -p "$build/obj" "$build/crashes"

# Compiles $1 into $2 when the object is older than the source or any header.
compile() {
  local src=$1 obj=$2
  shift 2
  if [ ! -f "$obj" ] || [ -n "$(find "$src" include fuzz src/vexo_x86_64/vexo.h -newer "$obj" -print -quit)" ]; then
    "$@" -c "$src" -o "$obj"
  fi
}

# The library and the calculator, instrumented for coverage; the kernels as
# they are (assembly carries no instrumentation), each from its own source.
objects=()
for src in src/lfx86_64/*.cpp src/vexo_x86_64/*.cpp; do
  case $src in */main.cpp) continue ;; esac
  obj=$build/obj/$(basename "${src%.cpp}").o
  compile "$src" "$obj" "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer-no-link
  objects+=("$obj")
done
for src in kernels/*.S; do
  obj=$build/obj/$(basename "${src%.S}").o
  compile "$src" "$obj" "$cc" -Iinclude
  objects+=("$obj")
done

status=0
for t in "${targets[@]}"; do
  src=fuzz/${t}_fuzz.cpp
  [ -f "$src" ] || { echo "fuzz.sh: no target $t ($src)"; exit 1; }
  compile "$src" "$build/obj/${t}_fuzz.o" "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer-no-link
  "$cxx" "${sanitize[@]}" -fsanitize=fuzzer "$build/obj/${t}_fuzz.o" "${objects[@]}" -lgmp -o "$build/${t}_fuzz"

  mkdir -p "$build/corpus/$t" "fuzz/corpus/$t"
  log=$build/$t.log
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  set +e
  "$build/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=2048 \
    -max_len=4096 "${parallel[@]}" -artifact_prefix="$build/crashes/$t-" \
    "$build/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  set -e
  # With -jobs, each worker writes its own fuzz-N.log; sum their counts.
  logs=("$log")
  [ "$jobs" -gt 1 ] && logs+=(fuzz-*.log)
  runs=$(cat "${logs[@]}" 2>/dev/null | sed -n 's/^stat::number_of_executed_units: *//p' | awk '{s += $1} END {print s + 0}')
  [ "$jobs" -gt 1 ] && rm -f fuzz-*.log
  if [ "$rc" -ne 0 ]; then
    echo "$t: FAILED after $runs executions (exit $rc); see $log"
    grep -E 'fuzz check failed|ERROR: |SUMMARY: |Test unit written' "$log" | head -n 8 || true
    status=1
  else
    echo "$t: $runs executions in ${seconds}s, no failure"
  fi
done
exit $status
