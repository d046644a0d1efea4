#!/usr/bin/env bash
# The README's C example, as a reader would use it: its code block compiled
# against the built library, run, and its output compared with the output
# that the README shows under "$ ./seventh".
#   tests/check_readme_example.sh README.md CC INCLUDE_DIR LIBRARY [FLAG...]
# FLAGs go to the compiler (the sanitizers, when the library has them).
set -euo pipefail
readme=$1 cc=$2 include=$3 library=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first ```c block after the sentence that introduces the example, and
# the lines after "$ ./seventh" up to the end of its block.
awk '/computes 1\/7/ { found = 1 } found && /^```c$/ { inside = 1; next }
     inside && /^```$/ { exit } inside { print }' "$readme" > "$work/seventh.c"
awk '/^\$ \.\/seventh$/ { inside = 1; next } inside && /^```$/ { exit } inside { print }' \
  "$readme" > "$work/expected"
[ -s "$work/seventh.c" ] || { echo "no C example found in $readme"; exit 1; }
[ -s "$work/expected" ] || { echo "no output of ./seventh found in $readme"; exit 1; }

"$cc" -std=c11 -Wall -Wextra -Werror "$@" -I"$include" "$work/seventh.c" "$library" -o "$work/seventh"
status=0
LD_LIBRARY_PATH=$(dirname "$library")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} "$work/seventh" > "$work/actual" || status=$?
[ "$status" -eq 0 ] || { echo "the example ended with status $status"; exit 1; }
diff -u "$work/expected" "$work/actual" || { echo "the example's output differs from the README's"; exit 1; }
echo "the README's example compiles, runs and prints what the README shows"
