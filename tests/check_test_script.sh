#!/usr/bin/env bash
# scripts/test.sh must keep the generator of a build folder that is already
# configured (CMake refuses another), give Ninja to one that is new, empty or
# left by a failed configure, build --sanitize in build-asan/, make warnings
# errors under CI only, and fail when a test fails. It runs from a copy of
# scripts/ beside a deps.sh that does nothing, with a cmake, a ctest and a
# ninja on PATH that only log their calls; the stub cmake refuses -G on a
# configured folder, as CMake does when the generator differs.
#   tests/check_test_script.sh
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
top=$out/project
mkdir -p "$top/scripts" "$out/bin"
cp "$root/scripts/test.sh" "$top/scripts/"
printf '#!/bin/sh\n' >"$top/scripts/deps.sh"
printf '#!/bin/sh\n' >"$out/bin/ninja"
cat >"$out/bin/cmake" <<'STUB'
#!/usr/bin/env bash
echo "cmake $*" >>"$STUB_LOG"
if [ "$1" = -S ] && [ -f "$4/CMakeCache.txt" ] && [[ " $* " == *" -G "* ]]; then
  echo "CMake Error: Does not match the generator used previously" >&2
  exit 1
fi
STUB
# shellcheck disable=SC2016
printf '#!/bin/sh\necho "ctest $*" >>"$STUB_LOG"\n[ -z "$STUB_CTEST_FAILS" ]\n' >"$out/bin/ctest"
chmod +x "$top/scripts/deps.sh" "$out/bin/"*
export PATH="$out/bin:$PATH" STUB_LOG=$out/log

# folder before the run (none, empty, failed: CMakeFiles/ only, makefiles:
# configured) | test.sh's argument | CI | a test fails | the script must
# pass | a pattern that the log must hold | one that it must not
while IFS='|' read -r before arg ci ctest_fails passes holds lacks; do
  dir=build
  [ -z "$arg" ] || dir=build-asan
  rm -rf "${top:?}/$dir" && : >"$STUB_LOG"
  case $before in
    empty) mkdir "$top/$dir" ;;
    failed) mkdir -p "$top/$dir/CMakeFiles" ;;
    makefiles) mkdir "$top/$dir" && echo 'CMAKE_GENERATOR:INTERNAL=Unix Makefiles' >"$top/$dir/CMakeCache.txt" ;;
  esac
  (cd "$out" && CI=$ci STUB_CTEST_FAILS=$ctest_fails "$top/scripts/test.sh" ${arg:+"$arg"}) >"$out/output" 2>&1
  rc=$?
  what="$before $dir${arg:+ $arg}${ci:+ under CI}${ctest_fails:+ with a failing test}"
  if [ "$passes" = yes ] && [ $rc -ne 0 ] || { [ "$passes" = no ] && [ $rc -eq 0 ]; }; then
    echo "FAIL $what: status $rc"
    cat "$out/output" "$STUB_LOG"
    status=1
  fi
  grep -Eq -- "$holds" "$STUB_LOG" || { echo "FAIL $what: no '$holds' in"; cat "$STUB_LOG"; status=1; }
  if [ -n "$lacks" ] && grep -Eq -- "$lacks" "$STUB_LOG"; then
    echo "FAIL $what: '$lacks' in"
    cat "$STUB_LOG"
    status=1
  fi
done <<'ROWS'
makefiles||||yes|^cmake -S \. -B build -DCMAKE_BUILD_TYPE=Release | -G 
none||||yes|^cmake -S \. -B build .* -G Ninja$|
empty||||yes| -G Ninja$|
failed||||yes| -G Ninja$|
none|--sanitize|||yes|^cmake -S \. -B build-asan .*-DVEXO_SANITIZE=ON.* -G Ninja$|
makefiles||true||yes| -DVEXO_WERROR=ON|
makefiles||||yes|^ctest --test-dir build |WERROR
makefiles|||1|no|^ctest --test-dir build |
ROWS
[ $status -ne 0 ] || echo "test.sh: ok"
exit $status
