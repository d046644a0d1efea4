#!/usr/bin/env bash
# The gate of scripts/package.sh on lintian's report (scripts/package_gate.sh):
# a stand-in lintian on PATH prints one report per row, and the gate must fail
# the package on an error, a warning or a hardening tag, and pass it on
# informational tags and notes alone.
#   tests/check_package_gate.sh
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# Asked for the hardening tags by name it prints STUB_TAGS, else STUB_REPORT.
cat >"$bin/lintian" <<'STUB'
#!/bin/sh
case $1 in --tags) printf '%b' "$STUB_TAGS" ;; *) printf '%b' "$STUB_REPORT" ;; esac
STUB
chmod +x "$bin/lintian"
export PATH="$bin:$PATH"
result=0
# status the gate must leave | lintian's report | the hardening tags found
while IFS='|' read -r want report tags; do
  got=$(
    # shellcheck source=scripts/package_gate.sh
    . "$root/scripts/package_gate.sh"
    export STUB_REPORT=$report STUB_TAGS=$tags
    lintian_gate made-up_1.0.0_amd64.deb >/dev/null 2>&1
    echo "$status"
  )
  if [ "$got" != "$want" ]; then
    # shellcheck disable=SC2031 # the row as read, not as the subshell set it
    echo "FAIL: lintian printing '$report' and '$tags': status $got, not $want"
    result=1
  fi
done <<'ROWS'
1|W: vexo-x86-64: description-synopsis-starts-with-article\n|
1|E: vexo-x86-64: unstripped-binary-or-object usr/bin/vexo_x86_64\n|
0|I: vexo-x86-64: spelling-error-in-binary memeory memory\nN: 1 hint overridden\n|
0||
1||I: vexo-x86-64: hardening-no-pie usr/bin/vexo_x86_64\n
ROWS
[ $result -ne 0 ] || echo "package gate: ok"
exit $result
