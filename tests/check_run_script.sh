#!/usr/bin/env bash
# scripts/run.sh ARGS must write on standard output exactly what the program
# writes for ARGS, durations aside, and end with the program's status: a
# computed constant (0), the usage text (1), a refused size (2).
#   tests/check_run_script.sh BUILD_DIR
set -u
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
# The durations are the only bytes that may differ from one run to another.
mask() { sed -E 's/(Duration = *)[0-9.]+/\1T/' "$1"; }

for request in "100 e 16" "40 pi 10 3" "5 pi 16 2" "99999999999999 sqrt2 2"; do
  # shellcheck disable=SC2086
  BUILD_DIR=$build "$root/scripts/run.sh" $request >"$out/script" 2>"$out/log"
  script_status=$?
  # shellcheck disable=SC2086
  "$build/vexo_x86_64" $request >"$out/program" 2>/dev/null
  program_status=$?
  if ! cmp -s <(mask "$out/script") <(mask "$out/program"); then
    echo "FAIL '$request': standard output differs from the program's"
    diff <(mask "$out/script") <(mask "$out/program") | head -n 5
    status=1
  fi
  if [ "$script_status" -ne "$program_status" ]; then
    echo "FAIL '$request': status $script_status, the program's is $program_status"
    cat "$out/log"
    status=1
  fi
done
exit $status
