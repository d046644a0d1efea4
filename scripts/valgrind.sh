#!/usr/bin/env bash
# Runs the program under valgrind's memcheck for every constant and every pi
# formula at a small size in each of the three radixes (2, 10 and 16), for
# usage errors and for a request refused by the size limit; and, where the
# test build's vexo_x86_64_faulty lies beside the program (in tests/), for a
# failed arithmetic check. Fails unless every run ends with the status it
# must, reports zero errors and ends with zero bytes in use (nothing lost,
# nothing still reachable).
#
#   scripts/valgrind.sh [program]
#
# program: the binary to check (default: $VEXO_BIN, else build/vexo_x86_64).
# Set VALGRIND_DIGITS to change the digit count (default 200).
set -euo pipefail
cd "$(dirname "$0")/.."

prog=${1:-${VEXO_BIN:-build/vexo_x86_64}}
digits=${VALGRIND_DIGITS:-200}
scripts/deps.sh valgrind
[ -x "$prog" ] || { echo "valgrind.sh: no program at $prog (build it first)"; exit 1; }

# The program's own exit statuses are 0 to 3; valgrind reports its errors
# with a status of its own so the two cannot be confused.
valgrind_status=99
log=$(mktemp)
err=$(mktemp)
trap 'rm -f "$log" "$err"' EXIT
failures=0
runs=0

# check <expected program status> <words...>: runs $prog, with the
# environment of the call.
check() {
  local expected=$1
  shift
  local rc=0
  valgrind --tool=memcheck --error-exitcode=$valgrind_status --leak-check=full --show-leak-kinds=all \
    --errors-for-leak-kinds=all --log-file="$log" "$prog" "$@" >/dev/null 2>"$err" || rc=$?
  runs=$((runs + 1))
  local problem=""
  if [ "$rc" -eq $valgrind_status ]; then
    problem="memcheck found errors"
  elif [ "$rc" -ne "$expected" ]; then
    problem="exit status $rc, expected $expected"
  elif ! grep -q "ERROR SUMMARY: 0 errors" "$log"; then
    problem="error summary is not zero"
  elif ! grep -q "in use at exit: 0 bytes in 0 blocks" "$log"; then
    problem="memory still in use at exit"
  fi
  if [ -n "$problem" ]; then
    echo "FAIL: $prog $* -- $problem"
    head -n 3 "$err"
    grep -E "ERROR SUMMARY|in use at exit|definitely|indirectly|possibly|reachable|Invalid|uninitialised" "$log" | head -n 10
    failures=$((failures + 1))
  else
    echo "ok:   ${prog##*/} $* (status $rc, 0 errors, 0 bytes in use at exit)"
  fi
}

for radix in 2 10 16; do
  for cst in e sqrt2 1/sqrt2; do
    check 0 "$digits" "$cst" "$radix"
  done
  for formula in 1 2 3 4; do
    check 0 "$digits" pi "$radix" "$formula"
  done
done
# Usage errors: no calculator runs, the usage text and status 1.
check 1
check 1 "$digits" tau 16
check 1 "$digits" pi 16 4294967297
# A request beyond the size limit: one line and status 2.
check 2 99999999999999999999 pi 2 1
# A failed arithmetic check: no digits, one line and status 3, on the path
# that gives up a series halfway. Only the test build's program has kernels
# that go wrong on request (a bit of the fifth division's quotient here).
faulty=$(dirname "$prog")/tests/vexo_x86_64_faulty
if [ -x "$faulty" ]; then
  VEXO_FAULT="div 5 3 result" prog=$faulty check 3 "$digits" pi 16 2
else
  echo "valgrind.sh: no $faulty (a build without the tests), so no run with a failed check"
fi

echo "valgrind: $runs runs, $failures failed"
[ "$failures" -eq 0 ]
