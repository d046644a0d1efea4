#!/usr/bin/env bash
# Installs the Debian packages that a task needs, and only those, when one is
# missing:
#
#   scripts/deps.sh TASK...
#
#   build     the program and the library: a C and C++ compiler, CMake, Ninja
#   test      build + GoogleTest/GoogleMock, GMP, MPFR, pkg-config
#   bench     build + GMP, Google Benchmark, gnuplot, time, python3
#   fuzz      CMake, Ninja, clang with libFuzzer's runtime, GMP
#   valgrind  valgrind
#   lint      build + clang-format, clang-tidy, cppcheck
#   package   build + what cpack needs for Debian packages (dpkg-dev, file,
#             gzip), pkg-config, and lintian to check them
#   ci        all of the above
#
# Tools are looked for by their command, libraries by their Debian package,
# and libFuzzer's runtime by linking a fuzz target with clang. When nothing
# is missing this only checks. Otherwise it runs apt-get (directly as root,
# through sudo when that exists) and shows apt's own messages; without root
# or sudo it stops with one line naming what to install.
set -euo pipefail

usage() {
  echo "usage: scripts/deps.sh build|test|bench|fuzz|valgrind|lint|package|ci..." >&2
  exit 2
}
[ $# -gt 0 ] || usage

# Each need is "kind:probe:package": cmd (a command on PATH), pkg (an
# installed Debian package) or file (a path that exists).
build_needs=(cmd:cc:g++ cmd:c++:g++ cmd:cmake:cmake cmd:ninja:ninja-build)
test_needs=("${build_needs[@]}" pkg:libgtest-dev:libgtest-dev pkg:libgmock-dev:libgmock-dev
  pkg:libgmp-dev:libgmp-dev pkg:libmpfr-dev:libmpfr-dev cmd:pkg-config:pkg-config cmd:readelf:binutils)
bench_needs=("${build_needs[@]}" pkg:libgmp-dev:libgmp-dev pkg:libbenchmark-dev:libbenchmark-dev
  cmd:gnuplot:gnuplot-nox file:/usr/bin/time:time cmd:python3:python3)
fuzz_needs=(cmd:cmake:cmake cmd:ninja:ninja-build cmd:clang:clang cmd:clang++:clang
  pkg:libgmp-dev:libgmp-dev)
valgrind_needs=(cmd:valgrind:valgrind)
lint_needs=("${build_needs[@]}" cmd:clang-format:clang-format cmd:clang-tidy:clang-tidy cmd:cppcheck:cppcheck)
package_needs=("${build_needs[@]}" cmd:dpkg-shlibdeps:dpkg-dev cmd:dpkg-architecture:dpkg-dev cmd:file:file
  cmd:gzip:gzip cmd:pkg-config:pkg-config cmd:lintian:lintian)

needs=()
want_fuzzer=0
for task in "$@"; do
  case $task in
    build) needs+=("${build_needs[@]}") ;;
    test) needs+=("${test_needs[@]}") ;;
    bench) needs+=("${bench_needs[@]}") ;;
    fuzz) needs+=("${fuzz_needs[@]}"); want_fuzzer=1 ;;
    valgrind) needs+=("${valgrind_needs[@]}") ;;
    lint) needs+=("${lint_needs[@]}") ;;
    package) needs+=("${package_needs[@]}") ;;
    ci)
      needs+=("${test_needs[@]}" "${bench_needs[@]}" "${fuzz_needs[@]}" "${valgrind_needs[@]}" "${lint_needs[@]}"
        "${package_needs[@]}")
      want_fuzzer=1
      ;;
    *) usage ;;
  esac
done

present() {
  local kind=${1%%:*} probe=${1#*:}
  probe=${probe%:*}
  case $kind in
    cmd) command -v "$probe" >/dev/null ;;
    file) [ -e "$probe" ] ;;
    pkg) dpkg-query -W -f='${Status}' "$probe" 2>/dev/null | grep -q 'install ok installed' ;;
  esac
}

# clang links a fuzz target with AddressSanitizer and UBSan: the runtimes
# that the fuzz build needs are all there.
fuzzer_links() {
  command -v clang++ >/dev/null || return 1
  local dir rc=0
  dir=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$dir/t.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/t.cpp" -o "$dir/t" 2>"$dir/err" || rc=1
  rm -rf "$dir"
  return $rc
}

missing=()
for need in "${needs[@]}"; do
  package=${need##*:}
  if ! present "$need" && [[ " ${missing[*]} " != *" $package "* ]]; then
    missing+=("$package")
  fi
done
fuzzer_missing=0
if [ $want_fuzzer -eq 1 ] && ! fuzzer_links; then
  fuzzer_missing=1
fi
[ ${#missing[@]} -eq 0 ] && [ $fuzzer_missing -eq 0 ] && exit 0

# What to name when this script cannot install: libFuzzer's runtime under
# the name that recent Debian releases give it.
what="${missing[*]}"
[ $fuzzer_missing -eq 1 ] && what="${what:+$what }libclang-rt-dev"
if ! command -v apt-get >/dev/null; then
  echo "deps.sh: no apt-get here; install the Debian packages $what or their equivalents" >&2
  exit 1
fi
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    as_root=(sudo)
  else
    echo "deps.sh: neither root nor sudo; as root, run: apt-get install $what" >&2
    exit 1
  fi
fi

apt_knows() { apt-cache show "$1" >/dev/null 2>&1; }

# libFuzzer's runtime has moved between Debian's packages: it is in
# libclang-rt-dev where the release has that package (the one that follows
# the default clang), else in libclang-rt-N-dev or, before that split, in
# libclang-common-N-dev, N being the clang that the clang package depends on.
fuzzer_package() {
  if apt_knows libclang-rt-dev; then
    echo libclang-rt-dev
    return
  fi
  local n
  n=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
  if [ -z "$n" ]; then
    echo "deps.sh: apt knows no clang package to take libFuzzer's runtime from" >&2
    exit 1
  fi
  if apt_knows "libclang-rt-$n-dev"; then
    echo "libclang-rt-$n-dev"
  else
    echo "libclang-common-$n-dev"
  fi
}

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q update
if [ $fuzzer_missing -eq 1 ]; then
  runtime=$(fuzzer_package)
  missing+=("$runtime")
fi
echo "deps.sh: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q install -y --no-install-recommends "${missing[@]}"
if [ $want_fuzzer -eq 1 ] && ! fuzzer_links; then
  echo "deps.sh: clang still cannot link a fuzz target (-fsanitize=fuzzer,address,undefined)" >&2
  exit 1
fi
