#!/usr/bin/env bash
# fieldcore ui popup: the places, icon and beep of type codes, the picture and its pixels on
# both templates, pressing buttons and keys, the time-out, translation and the errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-ui-popup-XXXXXX")
trap 'rm -rf "$work"' EXIT
unset FIELDCORE_SCREEN
ink=$(dirname "$0")/png_ink.py

# The width and height of a PNG file, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }

question="place 0 hidden
place 1 hidden
place 2 hidden
place 3 shown 6 default &Yes
place 4 shown 7 - &No
icon 1034
beep 0x20"
expect_out "Yes, No with the question icon" "$question" \
  "$TOOL" ui popup --type 0x24 --text "Overwrite point 1001?" -o "$work/popup.png"
expect_out "a PNG of the screen's size" "240x320" png_size "$work/popup.png"
expect_out "decimal type code" "$question" "$TOOL" ui popup --type 36 --text "Overwrite point 1001?"
expect_out "other bits are ignored" "$question" "$TOOL" ui popup --type 0x40024 --text "Overwrite point 1001?"
# The portrait template: icon 6,34,38,66; text 46,34,234,250; places in a row at 258 to 281
# (2-78, 82-158, 162-238) and a pair at 289 to 312 (18-114, 126-222).
expect_out "ink in the icon, the text and places 3 and 4 only" "icon text 3 4" sh -c "
  /usr/bin/python3 '$ink' '$work/popup.png' ffffff 6,34,38,66 46,34,234,250 2,258,78,281 82,258,158,281 \
    162,258,238,281 18,289,114,312 126,289,222,312 | awk '{ split(\$2, n, /[=,]/);
    s = (n[2] > 0 ? \"icon\" : \"-\") \" \" (n[3] > 0 ? \"text\" : \"-\");
    for (p = 0; p < 5; p++) if (n[4 + p] > 0) s = s \" \" p; print s }'"

expect_out "type 0x14: places 3 and 4, stop icon, beep 0x10" "place 3 shown 6 default &Yes
place 4 shown 7 - &No
icon 1031
beep 0x10" sh -c "'$TOOL' ui popup --type 0x14 --text x | sed -n '4,7p'"
expect_out "type 3 with both extras: five buttons, N&o to All returns 25" "place 0 shown 6 default &Yes
place 1 shown 7 - &No
place 2 shown 2 - &Cancel
place 3 shown 24 - Yes to &All
place 4 shown 25 - N&o to All
icon none
beep 0x00
result 25" "$TOOL" ui popup --type 3 --yes-to-all --no-to-all --text "Overwrite?" --press 4
expect_out "type 4 with yes-to-all: places 0 to 2" "place 0 shown 24 - Yes to &All
place 1 shown 6 default &Yes
place 2 shown 7 - &No
place 3 hidden
place 4 hidden" sh -c "'$TOOL' ui popup --type 4 --yes-to-all --no-to-all --text x | head -5"
expect_out "0x200 on type 1: no default button" "place 3 shown 1 - &Ok
place 4 shown 2 - &Cancel" sh -c "'$TOOL' ui popup --type 0x201 --text x | sed -n '4,5p'"
expect_out "type 0: a lone &Close in the middle" "place 1 shown 1 default &Close" \
  sh -c "'$TOOL' ui popup --type 0 --text x | grep shown"
expect_out "set 7: no button" "0" sh -c "'$TOOL' ui popup --type 7 --text x | grep -c shown; true"

expect_out "Enter presses the default" "result 7" sh -c "'$TOOL' ui popup --type 0x104 --text x --key Enter | tail -1"
expect_out "Enter without a default gives 1" "result 1" sh -c "'$TOOL' ui popup --type 0x304 --text x --key enter | tail -1"
expect_out "Escape on OK, Cancel" "result 2" sh -c "'$TOOL' ui popup --type 1 --text x --key Escape | tail -1"
expect_out "Escape on the lone Close" "result 1" sh -c "'$TOOL' ui popup --type 0 --text x --key Escape | tail -1"
expect_out "Escape ignored on Yes, No: unanswered" "result 2" sh -c "'$TOOL' ui popup --type 4 --text x --key Escape | tail -1"
expect_out "F1 is not an answer: unanswered" "result 2" sh -c "'$TOOL' ui popup --type 4 --text x --key F1 | tail -1"
expect_out "Retry pressed" "result 4" sh -c "'$TOOL' ui popup --type 2 --text x --press 1 | tail -1"
expect_out "the time-out gives 1, also on Yes, No" "result 1" sh -c "'$TOOL' ui popup --type 4 --text x --timeout 300 | tail -1"
expect_out "no result line without an action" "beep 0x00" sh -c "'$TOOL' ui popup --type 4 --text x | tail -1"

# The template of every other screen, drawn at 320x240: icon 8,34,40,66; the row at 178 to 201.
expect_status "landscape" 0 "$TOOL" ui popup --screen 320x240 --type 0x32 --text "Retry?" -o "$work/wide.png"
expect_out "landscape picture" "320x240" png_size "$work/wide.png"
expect_out "landscape: ink in the icon and the row of three" "yes" sh -c "
  /usr/bin/python3 '$ink' '$work/wide.png' ffffff 8,34,40,66 10,178,106,201 112,178,208,201 214,178,310,201 \
    58,208,154,231 166,208,262,231 | awk '{ split(\$2, n, /[=,]/);
    print (n[2] > 0 && n[3] > 0 && n[4] > 0 && n[5] > 0 && n[6] == 0 && n[7] == 0) ? \"yes\" : \$0 }'"
expect_status "FIELDCORE_SCREEN" 0 env FIELDCORE_SCREEN=640x480 "$TOOL" ui popup --type 1 --text x -o "$work/vga.png"
expect_out "FIELDCORE_SCREEN picture" "640x480" png_size "$work/vga.png"
expect_status "--output" 0 "$TOOL" ui popup --type 0x24 --text "Overwrite point 1001?" --output="$work/long.png"
expect_out "--output writes the same picture" "" cmp "$work/popup.png" "$work/long.png"

printf '\xff\xfe' >"$work/de.txt"
printf '[&Yes][&Ja]\r\n[&No][&Nein]\r\n' | iconv -f UTF-8 -t UTF-16LE >>"$work/de.txt"
expect_out "translated buttons" "place 3 shown 6 default &Ja
place 4 shown 7 - &Nein" sh -c "'$TOOL' ui popup --type 4 --text x --dict '$work/de.txt' | grep shown"
expect_out "country 81" "$question" "$TOOL" ui popup --type 0x24 --text "Overwrite point 1001?" --country 81

expect_status "bad type" 2 "$TOOL" ui popup --type 0x1G --text x
expect_err "bad type named" "--type takes a type code" "$TOOL" ui popup --type -1 --text x
expect_status "type too large" 2 "$TOOL" ui popup --type 0x100000000 --text x
expect_status "no type" 2 "$TOOL" ui popup --text x
expect_status "no text" 2 "$TOOL" ui popup --type 0
expect_status "unknown key" 2 "$TOOL" ui popup --type 0 --text x --key Space
expect_err "unknown key named" "unknown key 'Space'" "$TOOL" ui popup --type 0 --text x --key Space
expect_err "a hidden place" "that place is hidden" "$TOOL" ui popup --type 0x24 --text x --press 0
expect_status "no such place" 2 "$TOOL" ui popup --type 3 --text x --press 5
expect_status "two actions" 2 "$TOOL" ui popup --type 3 --text x --press 0 --key Enter
expect_status "bad time-out" 2 "$TOOL" ui popup --type 3 --text x --timeout 0
expect_status "bad country" 2 "$TOOL" ui popup --type 3 --text x --country many
expect_status "bad screen" 2 "$TOOL" ui popup --type 3 --text x --screen 240
expect_status "unreadable dictionary" 2 "$TOOL" ui popup --type 3 --text x --dict "$work/none.txt"
expect_status "unwritable picture" 2 "$TOOL" ui popup --type 3 --text x -o "$work/no/such/folder/p.png"
expect_status "-o and --output" 2 "$TOOL" ui popup --type 3 --text x -o "$work/a.png" --output "$work/b.png"
expect_status "unknown option" 2 "$TOOL" ui popup --type 3 --text x --colour red

expect_status "help" 0 "$TOOL" ui popup --help
for part in "usage: fieldcore ui popup" "Options:" "Examples:" "Errors:" "Exit status:"; do
  expect_out "help has '$part'" "1" sh -c "'$TOOL' ui popup --help | grep -c '^$part'"
done
expect_out "the help's example is what the tool prints" "$question" \
  sh -c "'$TOOL' ui popup --help | sed -n '/^Examples:/,/^\$/p' | sed -n '3,9p' | sed 's/^ *//'"
expect_out "ui lists popup" "1" sh -c "'$TOOL' ui --help | grep -c '^  popup '"
finish
