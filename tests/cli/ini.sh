#!/usr/bin/env bash
# fieldcore ini: get, set, remove and list on real files; exit codes; failed writes.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-ini-XXXXXX")
trap 'rm -rf "$work"' EXIT
[ -e "/Program Files" ] && top_before=1 || top_before=0

ini="$work/ostrand.ini"
printf '; settings\r\n[Options]\r\nUnits=2\r\nName= Road 7 \r\n\r\n[Empty]\r\n' > "$ini"

expect_out "get" "2" "$TOOL" ini get "$ini" Options Units
expect_out "get keeps blanks" " Road 7 " "$TOOL" ini get "$ini" Options Name
expect_out "missing key: exit 1, no output" "status=1" sh -c "'$TOOL' ini get '$ini' Options Nothing; echo status=\$?"
expect_status "missing section" 1 "$TOOL" ini get "$ini" Nowhere Units
expect_status "names are case-sensitive" 1 "$TOOL" ini get "$ini" options Units
expect_out "list" "$(printf '[Empty]\n[Options]\nName= Road 7 \nUnits=2')" "$TOOL" ini list "$ini"

# set_get NAME EXPECTED SECTION KEY VALUE: set succeeds and get answers EXPECTED.
set_get() { expect_out "$1" "$2" sh -c '"$0" ini set "$1" "$2" "$3" "$4" && "$0" ini get "$1" "$2" "$3"' "$TOOL" "$ini" "$3" "$4" "$5"; }
set_get "set then get" "3" Options Units 3
set_get "code page round trip" "5 €" "Café" "Prix" "5 €"
expect_out "file is Windows-1252" "$(printf '[Caf\351]\r\nPrix=5 \200\r')" sh -c "grep -a -A1 '^\[Caf' '$ini'"
set_get "value keeps '='" "a=b=c" Options Formula "a=b=c"
set_get "negative number" "-5" Options Offset -5
# Only the bytes of the keys set change: the comment, the order and the CR LF line ends stay;
# a new key follows the last key of its section, a new section goes at the end.
expect_out "edited file" "$(printf '; settings\r\n[Options]\r\nUnits=3\r\nName= Road 7 \r\nFormula=a=b=c\r\nOffset=-5\r\n\r\n[Empty]\r\n[Caf\351]\r\nPrix=5 \200\r\n\r\n')" cat "$ini"

expect_status "remove" 0 "$TOOL" ini remove "$ini" Options Units
expect_status "removed key is gone" 1 "$TOOL" ini get "$ini" Options Units
expect_status "remove missing key" 1 "$TOOL" ini remove "$ini" Options Units
expect_out "section stays after removal" "$(printf '[Only]')" sh -c "'$TOOL' ini set '$work/one.ini' Only k v && '$TOOL' ini remove '$work/one.ini' Only k && '$TOOL' ini list '$work/one.ini'"

expect_out "set creates a missing file" "$(printf '[S]\nk=v\n\n')" sh -c "'$TOOL' ini set '$work/new.ini' S k v && cat '$work/new.ini'"
expect_status "get on a missing file" 2 "$TOOL" ini get "$work/none.ini" S k
expect_status "list on a missing file" 2 "$TOOL" ini list "$work/none.ini"
expect_err "unreadable file is named" "cannot read" "$TOOL" ini get "$work/none.ini" S k
mkdir "$work/folder.ini"
expect_status "a folder is unreadable" 2 "$TOOL" ini get "$work/folder.ini" S k
expect_status "set on a folder" 2 "$TOOL" ini set "$work/folder.ini" S k v
tool_abs="$(cd "$(dirname "$TOOL")" && pwd)/$(basename "$TOOL")"
(cd "$work" && "$tool_abs" ini set relative.ini S k v) && [ -f "$work/relative.ini" ] && _pass || _fail "relative FILE"

# Values the file cannot carry are refused and the file is left alone.
cp "$ini" "$work/before.ini"
expect_status "key with '='" 2 "$TOOL" ini set "$ini" S "a=b" v
expect_status "key like a comment" 2 "$TOOL" ini set "$ini" S ";k" v
expect_status "value with a line end" 2 "$TOOL" ini set "$ini" S k "$(printf 'a\nb')"
expect_status "character outside the code page" 2 "$TOOL" ini set "$ini" S k "一"
expect_status "line too long" 2 "$TOOL" ini set "$ini" S k "$(head -c 1100 /dev/zero | tr '\0' x)"
cmp -s "$ini" "$work/before.ini" && _pass || _fail "refused values changed the file"

# A write that fails (a file-size limit stands for a full disk) leaves the old file intact.
big=$(head -c 900 /dev/zero | tr '\0' v)
"$TOOL" ini set "$ini" Big value "$big" >/dev/null 2>&1
cp "$ini" "$work/before.ini"
status=0
(ulimit -f 1; trap '' XFSZ; exec "$TOOL" ini set "$ini" Big other "$big") >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] && _pass || _fail "failed write: exit $status, expected 2"
cmp -s "$ini" "$work/before.ini" && _pass || _fail "a failed write changed the old file"
ls "$work" | grep -q fieldcore-new && _fail "a failed write left its new file" || _pass
if [ "$(id -u)" -ne 0 ]; then
  mkdir "$work/ro" && printf '[S]\nk=v\n' > "$work/ro/f.ini" && chmod 555 "$work/ro"
  expect_status "read-only folder" 2 "$TOOL" ini set "$work/ro/f.ini" S k w
  expect_out "read-only folder: old value" "v" "$TOOL" ini get "$work/ro/f.ini" S k
  chmod 755 "$work/ro"
fi

# Findings: set and remove change only the key's bytes.
pair1023="k=$(head -c 1021 /dev/zero | tr '\0' x)"
printf '[S]\n%s\nb=1\n' "$pair1023" > "$work/long.ini"
"$TOOL" ini set "$work/long.ini" S b 2
expect_out "the 1023-byte pair is kept" "$(printf '[S]\n%s\nb=2' "$pair1023")" cat "$work/long.ini"
printf '[S]\na=v\r\r\nb=1\n' > "$work/cr.ini"
"$TOOL" ini set "$work/cr.ini" S b 2
expect_out "the CR-ended value is kept" "$(printf '[S]\na=v\r\r\nb=2\n' | od -c)" sh -c "od -c '$work/cr.ini'"
printf '; c\n[S]\nk=1\na=2\n' > "$work/rm.ini"
"$TOOL" ini remove "$work/rm.ini" S k
expect_out "remove takes only the key's line" "$(printf '; c\n[S]\na=2')" cat "$work/rm.ini"

# Twenty writers at once: every key is kept.
for i in $(seq 1 20); do "$TOOL" ini set "$work/many.ini" S "key$i" "$i" & done; wait
expect_out "20 concurrent writers keep 20 keys" 20 sh -c "grep -c '^key' '$work/many.ini'"

# A linked file is written through to its target; permissions stay.
printf '[S]\nk=1\n' > "$work/target.ini"; chmod 600 "$work/target.ini"
ln -s target.ini "$work/link.ini"
"$TOOL" ini set "$work/link.ini" S k 2
[ -L "$work/link.ini" ] && _pass || _fail "the link was replaced by a plain file"
expect_out "written through the link" "2" "$TOOL" ini get "$work/target.ini" S k
expect_out "permissions kept" "600" stat -c %a "$work/target.ini"
# New files are made with random names and exclusively: a planted link at the old fixed name
# is no longer written through.
printf 'precious\n' > "$work/precious"
ln -s precious "$work/planted.ini.fieldcore-new-$$"
"$TOOL" ini set "$work/planted.ini" S k v
expect_out "a planted link is left alone" "precious" cat "$work/precious"
# What a killed writer left is removed by the next write.
touch "$work/.fieldcore-new-planted.ini.abcd1234"
"$TOOL" ini set "$work/planted.ini" S k w
[ ! -e "$work/.fieldcore-new-planted.ini.abcd1234" ] && _pass || _fail "a killed writer's new file stayed"

expect_status "help" 0 "$TOOL" ini --help
expect_out "help names the actions" "usage: fieldcore ini get FILE SECTION KEY" sh -c "'$TOOL' ini --help | head -1"
expect_status "no action" 2 "$TOOL" ini
expect_status "unknown action" 2 "$TOOL" ini frob "$ini"
expect_status "wrong argument count" 2 "$TOOL" ini get "$ini" Options
[ -e "/Program Files" ] && top_after=1 || top_after=0
[ "$top_before" -eq "$top_after" ] && _pass || _fail "the tool made a device folder in the host's top folder"

finish
