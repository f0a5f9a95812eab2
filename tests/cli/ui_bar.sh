#!/usr/bin/env bash
# fieldcore ui bar: the objects of a laid-out title bar, the PNG picture and its size, screens,
# property sheets and the errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-ui-bar-XXXXXX")
trap 'rm -rf "$work"' EXIT
unset FIELDCORE_SCREEN

# The width and height of a PNG file, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }

bar=(--title "Stake out" --item Y:button:OK:1 --item Z:button:Cancel:2)
expect_out "title, OK and Cancel" "A title 2 1 129 24 Stake out
Y button 131 1 181 24 OK
Z button 183 1 233 24 Cancel" "$TOOL" ui bar "${bar[@]}"
expect_status "with a picture" 0 "$TOOL" ui bar "${bar[@]}" -o "$work/bar.png"
expect_out "a PNG" "PNG" sh -c "head -c 4 '$work/bar.png' | tail -c 3"
expect_out "of the screen's size" "240x320" png_size "$work/bar.png"
# Its pixels: ink inside every object's rectangle, none anywhere else on the empty window.
ink=$(dirname "$0")/png_ink.py
rects=$("$TOOL" ui bar "${bar[@]}" | awk '{ printf "%s,%s,%s,%s ", $3, $4, $5, $6 }')
expect_out "ink inside each object only" "yes" sh -c "/usr/bin/python3 '$ink' '$work/bar.png' ffffff $rects |
  awk '{ split(\$2, n, /[=,]/); ok = \$3 == \"outside=0\"; for (i = 2; i in n; i++) ok = ok && n[i] > 0; print ok ? \"yes\" : \$0 }'"
expect_out "nothing outside the bar" "240x320 inside=0 outside=0" \
  sh -c "/usr/bin/python3 '$ink' '$work/bar.png' ffffff 0,0,235,25 | sed 's/inside=[0-9]*/inside=0/'"
expect_status "--output" 0 "$TOOL" ui bar "${bar[@]}" --output="$work/long.png"
# -o and --output are read by one rule for every ui subcommand.
for sub in "bar" "dialog" "popup --type 0 --text T"; do
  expect_err "$sub: -o and --output" "give -o or --output, not both" "$TOOL" ui $sub -o "$work/a.png" --output "$work/b.png"
  expect_err "$sub: an empty output name" "the output file name is empty" "$TOOL" ui $sub -o ""
  # Failed before: the layout printed, then "error while writing to output stream".
  expect_fail "$sub: a folder as the picture" 2 "cannot write '$work': is a directory" "$TOOL" ui $sub -o "$work"
  expect_out "$sub: a folder as the picture, nothing printed" "" sh -c "'$TOOL' ui $sub -o '$work' 2>/dev/null; exit 0"
done
expect_out "--output writes the same picture" "" cmp "$work/bar.png" "$work/long.png"
expect_out "the same lines with -o" "$("$TOOL" ui bar "${bar[@]}")" "$TOOL" ui bar "${bar[@]}" -o "$work/again.png"

expect_out "480 px screen" "Z button 423 1 473 24 Cancel" \
  sh -c "'$TOOL' ui bar --screen 480x640 --item Z:button:Cancel:2 -o '$work/wide.png'"
expect_out "480x640 picture" "480x640" png_size "$work/wide.png"
expect_out "FIELDCORE_SCREEN" "Z button 263 1 313 24 OK" env FIELDCORE_SCREEN=320x240 "$TOOL" ui bar --item Z:button:OK
expect_out "property sheet" "A button 2 27 52 50 Menu" "$TOOL" ui bar --property-sheet --item A:button:Menu:11023
expect_out "texts and bitmaps, Right is R, S right of R" "R bitmap 163 1 181 24 IDB_ALPHAKEY
S text 183 1 233 24 km: 12" "$TOOL" ui bar --item Right:bitmap:IDB_ALPHAKEY --item "S:text:km: 12"
expect_out "a button text with ':' and its command" "Z button 183 1 233 24 a:b" "$TOOL" ui bar --item Z:button:a:b:7
expect_out "a wide text button grows to its text" "wider than 50, ends at 233" \
  sh -c "'$TOOL' ui bar --item 'Z:button:Measure the stakes' | awk '\$5 - \$3 > 50 && \$5 == 233 { print \"wider than 50, ends at 233\" }'"
expect_out "a later item replaces" "Z text 183 1 233 24 second" "$TOOL" ui bar --item Z:button:first --item Z:text:second
expect_out "left slots after the title are not laid out" "B text 0 0 0 0 late" \
  sh -c "'$TOOL' ui bar --title T --item B:text:late | grep '^B'"

expect_status "no position" 2 "$TOOL" ui bar --item Q:button:OK
expect_err "no position named" "none of A to I and R to Z" "$TOOL" ui bar --item a:button:OK
expect_status "unknown kind" 2 "$TOOL" ui bar --item Z:menu:OK
expect_err "unknown bitmap" "no bitmap of that name (IDB_ALPHAKEY" "$TOOL" ui bar --item Z:bitmap:LOGO
expect_status "bad command" 2 "$TOOL" ui bar --item Z:button:OK:70000
expect_status "no kind" 2 "$TOOL" ui bar --item Z
expect_status "--item without value" 2 "$TOOL" ui bar --item
expect_status "bad screen" 2 "$TOOL" ui bar --screen 240
expect_err "bad screen named" "--screen takes WIDTHxHEIGHT" "$TOOL" ui bar --screen 0x320
expect_status "bad FIELDCORE_SCREEN" 2 env FIELDCORE_SCREEN=big "$TOOL" ui bar
expect_status "unwritable picture" 2 "$TOOL" ui bar "${bar[@]}" -o "$work/no/such/folder/bar.png"
expect_err "unwritable picture named" "cannot write" "$TOOL" ui bar -o "$work/no/such/folder/bar.png"
expect_status "-o and --output" 2 "$TOOL" ui bar -o "$work/a.png" --output "$work/b.png"
expect_status "unknown option" 2 "$TOOL" ui bar --colour red
expect_status "a stray word" 2 "$TOOL" ui bar stray

expect_status "help" 0 "$TOOL" ui bar --help
for part in "usage: fieldcore ui bar" "Options:" "Examples:" "Errors:" "Exit status:"; do
  expect_out "help has '$part'" "1" sh -c "'$TOOL' ui bar --help | grep -c '^$part'"
done
expect_out "the help's example is what the tool prints" "$("$TOOL" ui bar "${bar[@]}")" \
  sh -c "'$TOOL' ui bar --help | sed -n '/^Examples:/,/^$/p' | sed -n '3,5p' | sed 's/^ *//'"
expect_status "ui overview" 0 "$TOOL" ui --help
expect_out "ui lists bar" "1" sh -c "'$TOOL' ui --help | grep -c '^  bar '"
expect_status "ui alone" 2 "$TOOL" ui
expect_status "unknown ui subcommand" 2 "$TOOL" ui dialogue
finish
