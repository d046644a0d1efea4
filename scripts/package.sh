#!/usr/bin/env bash
# Makes the Debian packages as the README's install recipe does, in a build
# folder of its own, and checks each of them:
#   - lintian, with its default profile, reports no error and no warning,
#     nor any of its hardening tags on the program;
#   - each package holds what it must: the program and its gzipped manual
#     page, or the headers, the library, the five kernel objects, the CMake
#     package and the pkg-config file; both a copyright file and a changelog;
#   - the pkg-config file of the -dev package names /usr, where the package
#     puts the kernel objects.
# Nothing is installed on the system: the packages are only read.
#   scripts/package.sh                    builds in build-package/
#   PACKAGE_DIR=dir scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${PACKAGE_DIR:-build-package}

scripts/deps.sh package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/*.deb
(cd "$dir" && cpack -G DEB >/dev/null)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=scripts/package_gate.sh
. scripts/package_gate.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
arch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || echo x86_64-linux-gnu)

# has DEB PATH...: each path is in the package (listed in $work/list).
has() {
  local deb=$1 path
  shift
  for path in "$@"; do
    grep -q -- " \./$path\$" "$work/list" || fail "$(basename "$deb") lacks $path"
  done
}

for name in vexo-x86-64 liblfx86-64-dev; do
  deb=$dir/${name}_${version}_amd64.deb
  echo "== $(basename "$deb")"
  if [ ! -f "$deb" ]; then
    fail "no package $(basename "$deb")"
    continue
  fi
  dpkg-deb -I "$deb" | sed -n 's/^ \(Package\|Version\|Depends\|Section\): /  &/p'
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$name is not version $version"
  dpkg-deb -c "$deb" | awk '{ print " " $NF }' >"$work/list"
  has "$deb" "usr/share/doc/$name/copyright" "usr/share/doc/$name/changelog.gz"
  if [ "$name" = vexo-x86-64 ]; then
    has "$deb" usr/bin/vexo_x86_64 usr/share/man/man1/vexo_x86_64.1.gz
    ! grep -q -e ' \./usr/include/.' -e ' \./usr/lib/.' "$work/list" || fail "$name holds development files"
  else
    has "$deb" usr/include/lfx86_64.h usr/include/lii_layout.h "usr/lib/$arch/liblfx86_64.a" \
      "usr/lib/$arch/pkgconfig/lfx86_64.pc" "usr/lib/$arch/cmake/lfx86_64/lfx86_64Config.cmake"
    [ "$(grep -c " \./usr/lib/$arch/lfx86_64/kernels/.*\.o\$" "$work/list")" -eq 5 ] ||
      fail "$name does not hold the five kernel objects"
    ! grep -q ' \./usr/bin/.' "$work/list" || fail "$name holds the program"
    # The pkg-config file read from an unpacked copy: its kernel directory is
    # the packaged one.
    dpkg-deb -x "$deb" "$work/root"
    kerneldir=$(PKG_CONFIG_PATH="$work/root/usr/lib/$arch/pkgconfig" pkg-config --variable=kerneldir lfx86_64)
    [ "$kerneldir" = "/usr/lib/$arch/lfx86_64/kernels" ] || fail "$name's pkg-config file gives kerneldir $kerneldir"
  fi
  lintian_gate "$deb"
done
[ $status -eq 0 ] && echo "package: both packages pass lintian and hold what they must"
exit $status
