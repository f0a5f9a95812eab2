#!/usr/bin/env bash
# fieldcore ui popup: the places, icon and beep of type codes, the picture, running the pop-up
# with a press, a key or a time-out, translation, and the errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-ui-popup-XXXXXX")
trap 'rm -rf "$work"' EXIT
unset FIELDCORE_SCREEN

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }

question="place 0 hidden
place 1 hidden
place 2 hidden
place 3 shown 6 default &Yes
place 4 shown 7 - &No
icon 1034
beep 0x20"
expect_out "type 0x24" "$question" "$TOOL" ui popup --type 0x24 --text "Overwrite point 1001?"
expect_out "decimal 36" "$question" "$TOOL" ui popup --type 36 --text "Overwrite point 1001?"
expect_out "the help's example is what the tool prints" "$question" \
  sh -c "'$TOOL' ui popup --help | sed -n '/^Examples:/,/^$/p' | sed -n '3,9p' | sed 's/^ *//'"
expect_status "with a picture" 0 "$TOOL" ui popup --type 0x24 --text "Overwrite point 1001?" -o "$work/popup.png"
expect_out "a PNG of the screen's size" "240x320" png_size "$work/popup.png"
expect_status "the other template" 0 "$TOOL" ui popup --screen 320x240 --type 0x24 --text "Overwrite?" --output "$work/wide.png"
expect_out "320x240 picture" "320x240" png_size "$work/wide.png"

expect_out "type 0x14: places 3 and 4, stop, beep 0x10" "place 3 shown 6 default &Yes
place 4 shown 7 - &No
icon 1031
beep 0x10" sh -c "'$TOOL' ui popup --type 0x14 --text x | tail -4"
expect_out "type 0: Close centred" "place 1 shown 1 default &Close" sh -c "'$TOOL' ui popup --type 0 --text x | grep shown"
expect_out "type 4 with yes to all: places 0 to 2, Yes the default" "0 24 -
1 6 default
2 7 -" sh -c "'$TOOL' ui popup --type 4 --yes-to-all --text x | grep shown | cut -d' ' -f2,4,5"
expect_out "0x200 on type 1: no default" "0" sh -c "'$TOOL' ui popup --type 0x201 --text x | grep -c default || true"
expect_out "no icon: none, beep 0x0" "icon none
beep 0x0" sh -c "'$TOOL' ui popup --type 0x51 --text x | tail -2"
expect_out "a set above 5: no button" "0" sh -c "'$TOOL' ui popup --type 9 --text x | grep -c shown || true"

expect_out "pressing No to All" "result 25" sh -c "'$TOOL' ui popup --type 3 --yes-to-all --no-to-all --text x --press 4 | tail -1"
expect_out "Enter: the default" "result 7" sh -c "'$TOOL' ui popup --type 0x104 --text x --key Enter | tail -1"
expect_out "Enter without a default: 1" "result 1" sh -c "'$TOOL' ui popup --type 0x204 --text x --key Enter | tail -1"
expect_out "Escape where Cancel is" "result 2" sh -c "'$TOOL' ui popup --type 3 --text x --key Escape | tail -1"
expect_out "F1 is no answer: nobody answers" "result 2" sh -c "'$TOOL' ui popup --type 4 --text x --key F1 | tail -1"
expect_out "time-out gives 1 on Yes/No" "result 1" sh -c "'$TOOL' ui popup --type 4 --text x --timeout 300 | tail -1"

printf '\xff\xfe' > "$work/de.txt"
printf '[&Yes][&Ja]\r\n[&No][&Nein]\r\n[Point][Punkt]\r\n' | iconv -f UTF-8 -t UTF-16LE >> "$work/de.txt"
expect_out "translated" "place 3 shown 6 default &Ja
place 4 shown 7 - &Nein" sh -c "'$TOOL' ui popup --type 0x24 --text Point --dict '$work/de.txt' | grep shown"

expect_status "no type" 2 "$TOOL" ui popup --text x
expect_status "bad type" 2 "$TOOL" ui popup --type 0xZZ --text x
expect_err "bad type named" "--type takes a type code" "$TOOL" ui popup --type -1 --text x
expect_status "no text" 2 "$TOOL" ui popup --type 1
expect_status "unknown key" 2 "$TOOL" ui popup --type 1 --text x --key Space
expect_err "unknown key named" "no key named 'Space'" "$TOOL" ui popup --type 1 --text x --key Space
expect_status "place out of range" 2 "$TOOL" ui popup --type 1 --text x --press 5
expect_status "place without a button" 2 "$TOOL" ui popup --type 1 --text x --press 0
expect_status "two answers" 2 "$TOOL" ui popup --type 1 --text x --press 3 --key Enter
expect_status "bad time-out" 2 "$TOOL" ui popup --type 1 --text x --timeout 0
expect_status "unreadable dictionary" 2 "$TOOL" ui popup --type 1 --text x --dict "$work/none.txt"
expect_status "unwritable picture" 2 "$TOOL" ui popup --type 1 --text x -o "$work/no/such/p.png"

expect_status "help" 0 "$TOOL" ui popup --help
for part in "usage: fieldcore ui popup" "Options:" "Examples:" "Errors:" "Exit status:"; do
  expect_out "help has '$part'" "1" sh -c "'$TOOL' ui popup --help | grep -c '^$part'"
done
expect_out "ui lists popup" "1" sh -c "'$TOOL' ui --help | grep -c '^  popup '"
finish
