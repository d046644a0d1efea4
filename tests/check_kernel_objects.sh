#!/usr/bin/env bash
# Checks each delivered kernel object: a relocatable x86-64 ELF file that
# defines exactly one symbol, the global routine it is named after, refers to
# no other symbol, has nothing to relocate, carries no data, and marks its
# stack non-executable.
set -u
# readelf and nm are parsed below: their messages in the C locale.
export LC_ALL=C
status=0
fail() { echo "FAIL $1: $2"; status=1; }

[ $# -gt 0 ] || { echo "no objects given"; exit 1; }
for obj in "$@"; do
  name=$(basename "$obj" .o)
  if [ ! -f "$obj" ]; then fail "$name" "object missing"; continue; fi

  header=$(readelf -h "$obj")
  grep -q 'Type:[[:space:]]*REL ' <<<"$header" || fail "$name" "not a relocatable object"
  grep -q 'Machine:[[:space:]]*Advanced Micro Devices X86-64' <<<"$header" || fail "$name" "not x86-64"

  symbols=$(nm "$obj")
  expected="T $name"
  got=$(awk '{print $(NF-1), $NF}' <<<"$symbols")
  [ "$got" = "$expected" ] || fail "$name" "symbols are '$(tr '\n' ';' <<<"$symbols")', expected only '$expected'"
  [ -z "$(nm -u "$obj")" ] || fail "$name" "undefined symbols: $(nm -u "$obj" | tr '\n' ' ')"

  relocs=$(readelf -r -W "$obj")
  grep -q 'There are no relocations in this file' <<<"$relocs" || fail "$name" "has relocations"

  # Every allocated section but .text must be empty: no data, rodata, bss,
  # eh_frame or anything else that would be loaded.
  while read -r sec size flags; do
    if [[ "$flags" == *A* && "$sec" != ".text" && $((16#$size)) -ne 0 ]]; then
      fail "$name" "section $sec holds $((16#$size)) bytes"
    fi
  done < <(readelf -S -W "$obj" | sed -n 's/^ *\[ *[0-9]*\] //p' |
           awk '$2 != "NULL" { flags = ($7 ~ /^[WAXMSILOGTCxoEDlp]+$/) ? $7 : "-"; print $1, $5, flags }')

  stack=$(readelf -S -W "$obj" | grep '\.note\.GNU-stack')
  if [ -z "$stack" ]; then
    fail "$name" "no .note.GNU-stack section"
  elif awk '{for (i = 1; i <= NF; i++) if ($i ~ /X/ && $i ~ /^[WAXMSILOGTCxoEDlp]+$/) exit 0; exit 1}' <<<"${stack#*]}"; then
    fail "$name" "stack marked executable"
  fi
  [ $status -eq 0 ] && echo "ok   $name"
done
exit $status
