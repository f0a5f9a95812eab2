#!/usr/bin/env bash
# fieldcore ui dialog: the bar of an empty dialog frame for each choice, the country and
# indicator settings, the PNG picture and the errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-ui-dialog-XXXXXX")
trap 'rm -rf "$work"' EXIT
unset FIELDCORE_SCREEN

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
# The position, kind and text of each object (the rectangles left out).
objects() { "$TOOL" ui dialog "$@" | awk '{ $3 = $4 = $5 = $6 = ""; print }' | tr -s ' ' | sed 's/ *$//'; }

expect_status "OK, Cancel and a picture" 0 "$TOOL" ui dialog --ok --cancel --title "Point" -o "$work/dialog.png"
expect_out "OK at Y and Cancel at Z" "A button IDB_TITLEBAR2
B title Point
Y button OK
Z button Cancel" objects --ok --cancel --title "Point"
expect_out "a PNG" "PNG" sh -c "head -c 4 '$work/dialog.png' | tail -c 3"
expect_out "of the screen's size" "240x320" png_size "$work/dialog.png"
expect_out "the same lines with -o" "$("$TOOL" ui dialog --ok --cancel --title Point)" \
  "$TOOL" ui dialog --ok --cancel --title Point --output "$work/again.png"
expect_out "the help's example is what the tool prints" "$("$TOOL" ui dialog --ok --cancel --title Point)" \
  sh -c "'$TOOL' ui dialog --help | sed -n '/^Examples:/,/^$/p' | sed -n '3,6p' | sed 's/^ *//'"

expect_out "the default frame: Close at Z" "A button IDB_TITLEBAR2
B title
Z button Close" objects
expect_out "OK with Close: OK at Y" "Y button OK" sh -c "'$TOOL' ui dialog --ok | grep '^Y' | awk '{ print \$1, \$2, \$7 }'"
expect_out "OK alone: OK at Z" "Z button OK" objects --ok --no-close --no-menu --no-title
expect_out "Finish with Cancel" "Y button Finish
Z button Cancel" objects --finish --cancel --no-menu --no-title
expect_out "nothing chosen away" "" objects --no-close --no-menu --no-title
expect_out "the indicator at R" "R bitmap IDB_TITLEBAR_EMPTY" \
  sh -c "'$TOOL' ui dialog --alpha-key | grep '^R' | awk '{ print \$1, \$2, \$7 }'"
expect_out "on a 480 px screen" "Z button 423 1 473 24 Close" \
  sh -c "'$TOOL' ui dialog --screen 480x640 -o '$work/wide.png' | grep '^Z'"
expect_out "480x640 picture" "480x640" png_size "$work/wide.png"
expect_status "country 81" 0 "$TOOL" ui dialog --country 81
expect_status "bold" 0 "$TOOL" ui dialog --bold --ok --title "Point" -o "$work/bold.png"
expect_out "bold draws another picture" "differ" sh -c "cmp -s '$work/bold.png' '$work/dialog.png' || echo differ"

expect_status "OK and Finish" 2 "$TOOL" ui dialog --ok --finish
expect_err "OK and Finish named" "not both" "$TOOL" ui dialog --ok --finish
expect_status "bad country" 2 "$TOOL" ui dialog --country x
expect_status "bad screen" 2 "$TOOL" ui dialog --screen 240
expect_status "unwritable picture" 2 "$TOOL" ui dialog -o "$work/no/such/folder/d.png"
expect_status "unknown option" 2 "$TOOL" ui dialog --help-me
expect_status "a stray word" 2 "$TOOL" ui dialog stray

expect_status "help" 0 "$TOOL" ui dialog --help
for part in "usage: fieldcore ui dialog" "Options:" "Examples:" "Errors:" "Exit status:"; do
  expect_out "help has '$part'" "1" sh -c "'$TOOL' ui dialog --help | grep -c '^$part'"
done
expect_out "ui lists dialog" "1" sh -c "'$TOOL' ui --help | grep -c '^  dialog '"
finish
