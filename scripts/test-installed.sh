#!/usr/bin/env bash
# Installs the project into a temporary prefix and tests what was installed:
# the end-to-end tests against the installed program, a separate project that
# finds the library with find_package(lfx86_64), links it into a shared object
# of its own and links one kernel object on its own, the pkg-config file, and
# the installed kernel objects. Then the same project and the program again
# against a shared build (BUILD_SHARED_LIBS=ON) installed beside it, and the
# failing-allocation tests built and run in that shared build.
#
# What is installed is built as the README's install recipe builds it, in a
# tree of its own, configured as on a machine without GoogleTest (so the tests
# must turn themselves off). The end-to-end test programs come from the test
# build:
#   scripts/test-installed.sh            uses (or makes) the build in build/
#   BUILD_DIR=dir scripts/test-installed.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}

scripts/deps.sh test
# The end-to-end test programs come with the tests: turn them on in a build
# that scripts/run.sh configured without them, keeping its generator.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=ON >/dev/null
else
  cmake -S . -B "$build" -DVEXO_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
step() { echo "== $*"; }
fail() { echo "test-installed: $*" >&2; exit 1; }

step "configure and build without GoogleTest, install into a temporary prefix"
cmake -S . -B "$work/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >/dev/null
grep -q '^VEXO_BUILD_TESTS:BOOL=OFF$' "$work/release/CMakeCache.txt" ||
  fail "a configuration without GoogleTest did not leave the tests out"
cmake --build "$work/release" -j "$(nproc)" >/dev/null
cmake --install "$work/release" --prefix "$prefix" >/dev/null
program="$prefix/bin/vexo_x86_64"
[ -x "$program" ] || fail "no program in bin/"
for f in include/lfx86_64.h include/lii_layout.h share/man/man1/vexo_x86_64.1.gz; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done
library=$(find "$prefix" -name liblfx86_64.a | head -n 1)
[ -n "$library" ] || fail "no liblfx86_64.a"
kernels=("$(dirname "$library")"/lfx86_64/kernels/*.o)
[ ${#kernels[@]} -eq 5 ] || fail "expected 5 kernel objects, found ${#kernels[@]}"

step "installed kernel objects"
tests/check_kernel_objects.sh "${kernels[@]}"

step "end-to-end tests against the installed program"
found=0
for t in "$build"/tests/*e2e_test; do
  [ -x "$t" ] || continue
  found=1
  VEXO_BIN="$program" "$t" --gtest_brief=1
done
[ $found -eq 1 ] || fail "no end-to-end test programs in $build/tests"

step "a project that finds the library with find_package"
cmake -S tests/consumer -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >/dev/null
ctest --test-dir "$work/consumer" --output-on-failure

step "pkg-config"
pcdir=$(dirname "$(find "$prefix" -name lfx86_64.pc | head -n 1)")
flags=$(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs lfx86_64)
echo "$flags"
grep -q -- '-llfx86_64' <<<"$flags" || fail "pkg-config does not name the library"
# The flags must point into the prefix, wherever it is.
incdir=$(PKG_CONFIG_PATH="$pcdir" pkg-config --variable=includedir lfx86_64)
[ "$(cd "$incdir" && pwd -P)" = "$(cd "$prefix/include" && pwd -P)" ] || fail "includedir $incdir is not in the prefix"
# shellcheck disable=SC2086
cc -o "$work/third_pc" "$root/tests/consumer/third.c" $flags
"$work/third_pc"

# The kernel directory is a clean absolute path into the prefix, holding the
# five objects.
kerneldir=$(PKG_CONFIG_PATH="$pcdir" pkg-config --variable=kerneldir lfx86_64)
echo "kerneldir=$kerneldir"
case $kerneldir in /*) ;; *) fail "kerneldir $kerneldir is not absolute" ;; esac
case $kerneldir in *//* | */../* | */./*) fail "kerneldir $kerneldir is not a clean path" ;; esac
[ "$kerneldir" -ef "$(dirname "${kernels[0]}")" ] || fail "kerneldir $kerneldir is not the kernel objects' directory"

step "a shared build: the library with its SONAME, the program and the project linked to it"
shared=$work/prefix-shared
cmake -S . -B "$work/shared" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON >/dev/null
cmake --build "$work/shared" -j "$(nproc)" >/dev/null
cmake --install "$work/shared" --prefix "$shared" >/dev/null
solib=$(find "$shared" -name liblfx86_64.so.1.0.0 | head -n 1)
[ -n "$solib" ] || fail "no liblfx86_64.so.1.0.0"
readelf -d "$solib" | grep -q 'SONAME.*\[liblfx86_64\.so\.1\]' || fail "liblfx86_64 has no SONAME liblfx86_64.so.1"
readelf -d "$shared/bin/vexo_x86_64" | grep -q 'NEEDED.*\[liblfx86_64\.so\.1\]' || fail "the program does not link the shared library"
# The shared program prints what the static one prints, durations aside.
"$shared/bin/vexo_x86_64" 200 pi 16 3 | grep -v Duration >"$work/shared.txt"
"$program" 200 pi 16 3 | grep -v Duration >"$work/static.txt"
cmp -s "$work/shared.txt" "$work/static.txt" || fail "the shared program prints other digits"
cmake -S tests/consumer -B "$work/consumer-shared" -G Ninja -DCMAKE_PREFIX_PATH="$shared" >/dev/null
cmake --build "$work/consumer-shared" >/dev/null
readelf -d "$work/consumer-shared/third" | grep -q 'NEEDED.*\[liblfx86_64\.so\.1\]' ||
  fail "find_package did not give the shared library"
ctest --test-dir "$work/consumer-shared" --output-on-failure

step "the failing-allocation tests in the shared build"
# The tests link the shared library, whose own calls a --wrap of calloc does
# not reach; tests/CMakeLists.txt links the library's objects into them
# instead, which only a shared build exercises.
cmake -S . -B "$work/shared" -DVEXO_BUILD_TESTS=ON >/dev/null
failalloc=()
for src in tests/failalloc/*.cpp; do
  failalloc+=("$(basename "$src" .cpp)")
done
cmake --build "$work/shared" -j "$(nproc)" --target "${failalloc[@]}" >/dev/null
for t in "${failalloc[@]}"; do
  "$work/shared/tests/$t" --gtest_brief=1 || fail "$t fails in the shared build"
done

echo "test-installed: all checks passed"
