#!/usr/bin/env bash
# scripts/run.sh ARGS must write on standard output exactly what the program
# writes for ARGS, durations aside, and end with the program's status: a
# computed constant (0), the usage text (1), a refused size (2). With no
# ARGS it asks for 1000 pi 16 2. When the build fails it writes nothing on
# standard output and ends with status 125. It configures a build folder
# only when it has no cache, and finds the program of a multi-configuration
# folder in Release/.
#   tests/check_run_script.sh BUILD_DIR
#
# The script runs from a copy of the project's scripts/ in a scratch folder,
# beside a deps.sh that talks on standard output as apt does and with a
# cmake on PATH that builds nothing: its build/ holds the program of
# BUILD_DIR, which is never configured or built again here.
set -u
program=$1/vexo_x86_64
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
fail() { echo "FAIL $*"; status=1; }

top=$out/project
mkdir -p "$top/scripts" "$top/build" "$out/bin"
cp "$root/scripts/run.sh" "$top/scripts/"
printf '#!/bin/sh\necho "Reading package lists..."\n' >"$top/scripts/deps.sh"
# The stub cmake logs each call. Configuring a folder that has a cache with
# -G fails as CMake does when the generator differs; configuring a new one
# gives it a cache and the program.
cat >"$out/bin/cmake" <<'EOF'
#!/usr/bin/env bash
echo "cmake $*" >>"$STUB_LOG"
case $1 in
  --build) [ -z "${STUB_BUILD_FAILS:-}" ] || exit 1 ;;
  -S)
    dir=$4
    if [ -f "$dir/CMakeCache.txt" ] && [[ " $* " == *" -G "* ]]; then
      echo "CMake Error: Does not match the generator used previously" >&2
      exit 1
    fi
    mkdir -p "$dir" && touch "$dir/CMakeCache.txt" && ln -sf "$STUB_PROGRAM" "$dir/vexo_x86_64"
    ;;
esac
EOF
chmod +x "$top/scripts/deps.sh" "$out/bin/cmake"
# build/ is a configured folder, as cmake -S . -B build leaves it.
touch "$top/build/CMakeCache.txt"
ln -s "$program" "$top/build/vexo_x86_64"
export PATH="$out/bin:$PATH" STUB_PROGRAM=$program STUB_LOG=$out/cmake.log

# The durations are the only bytes that may differ from one run to another.
mask() { sed -E 's/(Duration = *)[0-9.]+/\1T/' "$1"; }

# expect_same "WORDS" "PROGRAM WORDS": run.sh WORDS against the program.
expect_same() {
  # shellcheck disable=SC2086
  "$top/scripts/run.sh" $1 >"$out/script" 2>"$out/log"
  local script_status=$?
  # The same name as run.sh gives it, for the usage text shows that name.
  # shellcheck disable=SC2086
  (cd "$top" && exec build/vexo_x86_64 $2) >"$out/program" 2>/dev/null
  local program_status=$?
  if ! cmp -s <(mask "$out/script") <(mask "$out/program"); then
    fail "'$1': standard output differs from the program's for '$2'"
    diff <(mask "$out/script") <(mask "$out/program") | head -n 5
  fi
  if [ "$script_status" -ne "$program_status" ]; then
    fail "'$1': status $script_status, the program's is $program_status"
    cat "$out/log"
  fi
}

for request in "100 e 16" "40 pi 10 3" "5 pi 16 2" "99999999999999 sqrt2 2"; do
  expect_same "$request" "$request"
done
expect_same "" "1000 pi 16 2"
if grep -v -- '^cmake --build' "$STUB_LOG"; then
  fail "run.sh reconfigured a configured build folder"
fi

# A failed build, or a build that leaves no program, leaves standard output
# empty and a status of its own.
mkdir -p "$top/noprogram"
touch "$top/noprogram/CMakeCache.txt"
for case in STUB_BUILD_FAILS=1 BUILD_DIR=noprogram; do
  env "$case" "$top/scripts/run.sh" 100 e 16 >"$out/script" 2>/dev/null
  script_status=$?
  [ "$script_status" -eq 125 ] || fail "$case: status $script_status, not 125"
  [ ! -s "$out/script" ] || fail "$case: standard output is not empty"
done

# A folder without a cache is configured, whether empty or left by a failed
# configure; a configured multi-configuration folder is only built, and the
# program run is the one in its Release/.
mkdir -p "$top/empty" "$top/failed/CMakeFiles" "$top/multi/Release"
touch "$top/multi/CMakeCache.txt"
ln -s "$program" "$top/multi/Release/vexo_x86_64"
for dir in empty failed multi; do
  : >"$STUB_LOG"
  BUILD_DIR=$dir expect_same "100 e 16" "100 e 16"
  configured=$(grep -c -- '^cmake -S' "$STUB_LOG")
  [ "$configured" -eq "$([ $dir = multi ] && echo 0 || echo 1)" ] || fail "BUILD_DIR=$dir: configured $configured times"
done

# A relative BUILD_DIR lies in the project's top folder, wherever run.sh is
# started from; a new one is configured.
(cd "$out" && BUILD_DIR=fresh "$top/scripts/run.sh" 100 e 16 >/dev/null 2>&1) ||
  fail "BUILD_DIR=fresh: status $?"
[ -f "$top/fresh/CMakeCache.txt" ] || fail "BUILD_DIR=fresh was not configured in the project's folder"
exit $status
