#!/usr/bin/env bash
# fieldcore settings: get, set and list by identifier in a device root of its own; exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-settings-XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/device"
file="$root/Program Files/osd_setup/ostrand.ini"

expect_status "set a real" 0 "$TOOL" settings --root "$root" set 11 2.5 --as real
expect_out "six decimals in [Settings]" "StakeIncPtBy=2.500000" grep -a StakeIncPtBy "$file"
expect_out "get a real" "2.5" "$TOOL" settings --root "$root" get 11 --as real
expect_status "set an int" 0 "$TOOL" settings --root "$root" set 2006 -12
expect_out "get an int" "-12" "$TOOL" settings --root "$root" get 2006
expect_out "the same as unsigned" "4294967284" "$TOOL" settings --root "$root" get 2006 --as uint
expect_status "set unsigned" 0 "$TOOL" settings --root "$root" set 1 4000000000 --as uint
expect_out "get unsigned" "4000000000" "$TOOL" settings --root "$root" get 1 --as uint
expect_out "list line" "$(printf '11\tSettings\tStakeIncPtBy\t2.500000')" \
  sh -c "'$TOOL' settings --root '$root' list | grep '^11	'"
expect_out "list has every place" "22" sh -c "'$TOOL' settings --root '$root' list | wc -l | tr -d ' '"

expect_out "nothing stored: exit 1, no output" "status=1" sh -c "'$TOOL' settings --root '$root' get 3; echo status=\$?"
expect_out "no place: exit 1, no output" "status=1" sh -c "'$TOOL' settings --root '$root' get 8 2>/dev/null; echo status=\$?"
expect_err "no place is named" "identifier 8 has no place" "$TOOL" settings --root "$root" get 8
expect_err "no place, also for set" "identifier 1999 has no place" "$TOOL" settings --root "$root" set 1999 1 --as uint
expect_status "outside 1..2009" 2 "$TOOL" settings --root "$root" get 2010
expect_status "zero" 2 "$TOOL" settings --root "$root" get 0
expect_status "bad int" 2 "$TOOL" settings --root "$root" set 2 abc
expect_status "bad unsigned" 2 "$TOOL" settings --root "$root" set 2 -1 --as uint
expect_status "bad kind" 2 "$TOOL" settings --root "$root" get 2 --as text
expect_status "unknown subcommand" 2 "$TOOL" settings --root "$root" remove 2
expect_status "missing value" 2 "$TOOL" settings --root "$root" set 2
expect_status "help" 0 "$TOOL" settings --help
expect_out "help names the file" "1" sh -c "'$TOOL' settings --help | grep -c 'DIR/Program Files/osd_setup/'"
expect_out "help has its sections" "Options: Examples: Errors: Exit" \
  sh -c "'$TOOL' settings --help | grep -o '^Options:\|^Examples:\|^Errors:\|^Exit' | tr '\n' ' ' | sed 's/ \$//'"
# A stored real beyond the int range is no int (1e300 was read as -1, exit 0); -0 prints as 0.
"$TOOL" settings --root "$root" set 11 1e300 --as real >/dev/null 2>&1
expect_status "1e300 read as an int" 1 "$TOOL" settings --root "$root" get 11 --as int
"$TOOL" settings --root "$root" set 11 -0.0000001 --as real >/dev/null 2>&1
expect_out "-0.000000 read as a real" "0" "$TOOL" settings --root "$root" get 11 --as real
finish
