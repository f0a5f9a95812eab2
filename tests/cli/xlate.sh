#!/usr/bin/env bash
# fieldcore xlate: text (lookup, stdin, missing texts) and list (order, duplicates), errors, help.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-xlate-XXXXXX")
trap 'rm -rf "$work"' EXIT

u16() { printf '%s' "$1" | iconv -f utf-8 -t utf-16le; }
{ printf '\377\376'; u16 $'[Cancel]\r\n[Abbrechen]\r\n[Point]\r\n[Punkt]\r\n[Points]\r\n[Punkte]\r\n[Point]\r\n[doppelt]\r\n[Größe 😀]\r\n[Size]\r\n'; } > "$work/de.txt"
u16 '[Points][Punkte][Point][Punkt]' > "$work/nobom.txt"
: > "$work/empty.txt"

expect_out "found and case" "$(printf 'Abbrechen\ncancel')" "$TOOL" xlate text --dict "$work/de.txt" Cancel cancel
expect_out "prefix keys" "$(printf 'Punkt\nPunkte\nPoin')" "$TOOL" xlate text --dict "$work/de.txt" Point Points Poin
expect_out "prefix keys, other order, no bom" "$(printf 'Punkt\nPunkte')" "$TOOL" xlate text --dict "$work/nobom.txt" Point Points
expect_out "beyond U+FFFF" "Size" "$TOOL" xlate text --dict "$work/de.txt" 'Größe 😀'
expect_out "the word list is a text" "list" "$TOOL" xlate text --dict "$work/de.txt" list
expect_out "after --" "-x" "$TOOL" xlate text --dict "$work/de.txt" -- -x
expect_out "stdin lines, CR dropped" "$(printf 'Abbrechen\nPunkt')" \
  sh -c "printf 'Cancel\r\nPoint\n' | '$TOOL' xlate text --dict '$work/de.txt'"
expect_out "empty dictionary" "Cancel" "$TOOL" xlate text --dict "$work/empty.txt" Cancel

# Missing texts: collected once each, after the texts the file held.
printf '\377\376' > "$work/miss.txt"
expect_out "collecting" "$(printf 'Abbrechen\nOK\nOK')" "$TOOL" xlate text --dict "$work/de.txt" --missing "$work/miss.txt" Cancel OK OK
{ printf '\377\376'; u16 $'[OK]\r\n[OK]\r\n'; } > "$work/expected.txt"
expect_out "written once" "" cmp "$work/miss.txt" "$work/expected.txt"
"$TOOL" xlate text --dict "$work/de.txt" --missing "$work/miss.txt" Help OK >/dev/null
{ printf '\377\376'; u16 $'[OK]\r\n[OK]\r\n[Help]\r\n[Help]\r\n'; } > "$work/expected.txt"
expect_out "kept and added" "" cmp "$work/miss.txt" "$work/expected.txt"
: > "$work/off.txt"
"$TOOL" xlate text --dict "$work/de.txt" --missing "$work/off.txt" OK >/dev/null
expect_out "an empty file leaves collection off" "0" stat -c %s "$work/off.txt"
"$TOOL" xlate text --dict "$work/de.txt" --missing "$work/none.txt" OK >/dev/null
expect_status "a missing file stays missing" 1 test -e "$work/none.txt"

# list: lookup order, duplicates named.
expect_out "list order" "$(printf 'Cancel\tAbbrechen\nGröße 😀\tSize\nPoints\tPunkte\nPoint\tPunkt\nPoint\tdoppelt')" \
  "$TOOL" xlate list "$work/de.txt"
expect_err "duplicate named with its line" 'xlate list: line 7: duplicate key "Point" (the entry of line 3 is used)' \
  "$TOOL" xlate list "$work/de.txt"
expect_out "list of an empty file" "" "$TOOL" xlate list "$work/empty.txt"

# Errors and help.
expect_status "dictionary missing" 2 "$TOOL" xlate text --dict "$work/nope.txt" Cancel
expect_err "dictionary missing named" "cannot read" "$TOOL" xlate text --dict "$work/nope.txt" Cancel
expect_status "dictionary is a folder" 2 "$TOOL" xlate text --dict "$work" Cancel
expect_status "missing-texts file is a folder" 2 "$TOOL" xlate text --dict "$work/de.txt" --missing "$work" Cancel
expect_status "no --dict" 2 "$TOOL" xlate text Cancel
expect_status "--dict without a value" 2 "$TOOL" xlate text --dict
expect_status "unknown option" 2 "$TOOL" xlate text --dict "$work/de.txt" --fast Cancel
expect_status "list: file missing" 2 "$TOOL" xlate list "$work/nope.txt"
expect_status "list: no file" 2 "$TOOL" xlate list
expect_status "list: two files" 2 "$TOOL" xlate list "$work/de.txt" "$work/de.txt"
expect_status "no subcommand" 2 "$TOOL" xlate
expect_status "unknown subcommand" 2 "$TOOL" xlate Cancel
expect_status "overview" 0 "$TOOL" xlate --help
for sub in text list; do
  expect_status "$sub help" 0 "$TOOL" xlate $sub --help
  expect_out "$sub help has its sections" "Options: Examples: Errors: Exit" \
    sh -c "'$TOOL' xlate $sub --help | grep -o '^Options:\|^Examples:\|^Errors:\|^Exit' | tr '\n' ' ' | sed 's/ \$//'"
done
expect_out "text help tells how to start collecting" "1" sh -c "'$TOOL' xlate text --help | grep -c 'byte-order mark alone'"
finish
