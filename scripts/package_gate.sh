# shellcheck shell=bash
# The checks that decide whether scripts/package.sh passes, sourced by it and
# by tests/check_package_gate.sh: `fail` records a failure (status 1) with its
# line, and `lintian_gate DEB` runs the lintian found on PATH on one package.
# shellcheck disable=SC2034 # read by the script that sources this file
status=0
fail() {
  echo "package: $*" >&2
  # shellcheck disable=SC2034
  status=1
}

# lintian's report is shown whole. Its errors (E:) and warnings (W:) fail the
# package; its informational tags (I:), notes (N:), pedantic (P:) and
# experimental (X:) tags and overrides (O:) do not. The hardening tags are
# informational, so they are asked for by name, and any of them fails.
lintian_gate() {
  local deb=$1 name report info
  name=$(basename "$deb")
  report=$(lintian "$deb" 2>&1 | grep -v '^running with root privileges' || true)
  [ -z "$report" ] || echo "$report"
  ! grep -q '^[EW]: ' <<<"$report" || fail "lintian reports errors or warnings on $name"
  info=$(lintian --tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro,hardening-no-pie \
    "$deb" 2>&1 | grep -v '^running with root privileges' || true)
  [ -z "$info" ] || fail "lintian finds the program in $name not hardened: $info"
}
