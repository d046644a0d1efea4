#!/usr/bin/env bash
# check_yardstick.sh PROGRAM YARDSTICK
#
# The GMP yardstick is only a fair measure if it does the program's work: the
# same records, loops and stopping rules. Whatever differs in any of these
# shows in the digits (the extra, truncated ones at the end are the most
# sensitive) or in the number of iterations. For each request this checks
# that the yardstick's standard output (the digits alone) is exactly the end
# of the program's, that what comes before it in the program's output is
# only the heading and duration lines, and, for e and the roots, that both
# report the same number of iterations; and that the yardstick's --sizes
# counts the digits of that block.
set -u
prog=${1:?program}
yard=${2:?yardstick}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
yard_flags=""

fail() {
    echo "FAIL [$*]" >&2
    failures=$((failures + 1))
}

check() {
    if ! "$prog" "$@" >"$work/p" 2>"$work/perr"; then
        fail "$*: program failed"
        return
    fi
    # shellcheck disable=SC2086
    if ! "$yard" $yard_flags "$@" >"$work/y" 2>"$work/yerr"; then
        fail "$*: yardstick failed: $(cat "$work/yerr")"
        return
    fi
    local psize ysize
    psize=$(stat -c %s "$work/p")
    ysize=$(stat -c %s "$work/y")
    # A digit block holds at least the integer line and a line of digits.
    if [ "$ysize" -lt 20 ] || [ "$ysize" -gt "$psize" ]; then
        fail "$*: digit block of $ysize bytes against $psize bytes of output"
        return
    fi
    if ! tail -c "$ysize" "$work/p" | cmp -s - "$work/y"; then
        fail "$*: digits differ"
        return
    fi
    if head -c $((psize - ysize)) "$work/p" | grep -q '^[^ ]'; then
        fail "$*: the program prints digits before the yardstick's block"
        return
    fi
    # --sizes gives the fraction digits of that block, and a text size that
    # holds it.
    if [ -z "$yard_flags" ]; then
        local sizes digits
        sizes=$("$yard" --sizes "$@")
        digits=$(sed -n '/\.$/,$p' "$work/y" | tail -n +2 | sed 's/  :: [0-9]* $//' | tr -cd 0-9A-F | wc -c)
        if [[ "$sizes" != *" digits=$digits text_bytes="* ]] ||
            [ "${sizes##*text_bytes=}" -lt "$ysize" ]; then
            fail "$*: --sizes says '$sizes' of a block of $digits digits in $ysize bytes"
        fi
    fi
    if [ "$2" != pi ]; then
        local pk yk
        pk=$(sed -n 's/^ Number of iterations = //p' "$work/p")
        yk=$(sed -n 's/^iterations //p' "$work/yerr")
        if [ -z "$pk" ] || [ "$pk" != "$yk" ]; then
            fail "$*: iterations $pk (program) against $yk (yardstick)"
        fi
    fi
}

# From the smallest records (4 words) to a few hundred words, in every radix;
# pi both one term at a time and with the program's grouped terms.
for n in 13 64 1000 6000; do
    for radix in 2 10 16; do
        for yard_flags in "" --grouped; do
            for method in 1 2 3 4; do
                check "$n" pi "$radix" "$method"
            done
        done
        yard_flags=""
        for cst in e sqrt2 1/sqrt2; do
            check "$n" "$cst" "$radix"
        done
    done
done

# Requests that both must refuse.
for bad in "12 pi 16 2" "100 pi 8 2" "100 pi 16 5" "100 tau 16"; do
    # shellcheck disable=SC2086
    if "$yard" $bad >/dev/null 2>&1; then
        fail "$bad: the yardstick accepted it"
    fi
done

if [ "$failures" -ne 0 ]; then
    echo "$failures request(s) where the yardstick does not follow the program" >&2
    exit 1
fi
echo "the yardstick follows the program on every request"
