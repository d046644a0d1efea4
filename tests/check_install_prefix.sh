#!/usr/bin/env bash
# The installed pkg-config file must name its prefix as an absolute path
# without `..`, however `--prefix` was written: the library's files of
# BUILD_DIR (component dev) installed into a scratch folder under a relative
# prefix and under one through `..`; its prefix must be the folder the files
# went to.
#   tests/check_install_prefix.sh CMAKE BUILD_DIR [CONFIG]
set -u
cmake=$1
build=$2
config=${3:+--config $3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
cd "$work" || exit 1
for prefix in relative other/../through-dots; do
  # shellcheck disable=SC2086
  "$cmake" --install "$build" $config --prefix "$prefix" --component dev >/dev/null || {
    echo "FAIL --prefix $prefix: install failed"
    status=1
    continue
  }
  pc=$(find "$prefix/" -name lfx86_64.pc | head -n 1)
  written=$(sed -n 's/^prefix=//p' "$pc")
  expected=$(cd "$prefix" && pwd -P)
  if [ "$written" != "$expected" ]; then
    echo "FAIL --prefix $prefix: the pkg-config file says prefix=$written, not $expected"
    status=1
  fi
done
[ $status -ne 0 ] || echo "install prefix: ok"
exit $status
