#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (CMake, VEXO_FUZZ=ON, clang with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each of them.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# seconds: how long each target runs (default 30). Targets: kernels, cli,
# printers (default: all three). Each run first replays every input kept in
# fuzz/corpus/<target>/ (regression inputs), then fuzzes, adding what it
# finds to <build>/corpus/<target>/. Prints one line per target; fails if
# any target crashes or a check fails, and then leaves the crashing input in
# <build>/crashes/. Logs go to <build>/logs/.
#
# Environment: FUZZ_BUILD (build directory, default build-fuzz), CC, CXX
# (default clang, clang++), FUZZ_JOBS (parallel workers per target, default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(kernels cli printers)
# Longest input that libFuzzer makes up, per target.
declare -A max_len=([kernels]=4096 [cli]=4096 [printers]=4096)
for t in "${targets[@]}"; do
  [ -n "${max_len[$t]:-}" ] || { echo "fuzz.sh: no target $t (kernels, cli, printers)"; exit 1; }
done

scripts/deps.sh fuzz
build=${FUZZ_BUILD:-build-fuzz}
[[ $build == /* ]] || build=$root/$build
jobs=${FUZZ_JOBS:-1}
CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVEXO_FUZZ=ON -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/%/_fuzz}"

status=0
for t in "${targets[@]}"; do
  work=$build/logs/$t
  rm -rf "$work"
  mkdir -p "$work" "$build/corpus/$t" "$build/crashes"
  log=$work/fuzz.log
  kept=()
  replayed=0
  if [ -d "fuzz/corpus/$t" ]; then
    kept=("$root/fuzz/corpus/$t")
    replayed=$(find "fuzz/corpus/$t" -type f | wc -l)
  fi
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
  # Run from the log directory: with -jobs, each worker writes its
  # fuzz-N.log into the current directory.
  rc=0
  (cd "$work" && "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 \
    -rss_limit_mb=2048 -max_len="${max_len[$t]}" "${parallel[@]}" -artifact_prefix="$build/crashes/$t-" \
    "$build/corpus/$t" "${kept[@]}") >"$log" 2>&1 || rc=$?
  runs=$(cat "$work"/*.log | sed -n 's/^stat::number_of_executed_units: *//p' | awk '{s += $1} END {print s + 0}')
  if [ "$rc" -ne 0 ]; then
    echo "$t: FAILED after $runs executions (exit $rc); see ${work#"$root"/}/"
    cat "$work"/*.log | grep -E 'fuzz check failed|ERROR: |SUMMARY: |Test unit written' | head -n 8 || true
    status=1
  else
    echo "$t: $runs executions in ${seconds}s, no failure ($replayed kept inputs replayed first)"
  fi
done
exit $status
