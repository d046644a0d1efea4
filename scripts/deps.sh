#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks
# need, when one is missing. Needs root (or sudo) only when something is
# missing; otherwise it just checks.
set -euo pipefail
packages=(g++ cmake ninja-build libgtest-dev libgmock-dev libgmp-dev libmpfr-dev libbenchmark-dev binutils pkg-config clang libclang-rt-14-dev valgrind clang-format clang-tidy cppcheck)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null || {
    echo "Could not install: ${missing[*]} (run: apt-get install ${missing[*]})" >&2
    exit 1
  }
fi
