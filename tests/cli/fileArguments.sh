#!/usr/bin/env bash
# Files that are not files: a directory, a missing or unreadable file, given to any command or
# option, gives a one-line error naming it and exit 2, never an abort (exit 134); writing into a
# missing folder names it; ini set makes the folder as the device would.
TOOL=$1
SRC=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$(dirname "$0")/lib.sh"
TMP=$(mktemp -d)
trap 'chmod -R u+rwx "$TMP"; rm -rf "$TMP"' EXIT
EX="$SRC/examples/exampleRoad.xml"
D="$TMP/folder"
mkdir -p "$D"

# One line on stderr naming the path, exit 2.
refused() {   # NAME PATH CMD...
  local name=$1 path=$2; shift 2
  local err status
  err=$("$@" 2>&1 >/dev/null </dev/null); status=$?
  if [ "$status" -ne 2 ]; then _fail "$name: exit $status, expected 2 ($err)";
  elif [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || ! printf '%s' "$err" | grep -qF "$path"; then
    _fail "$name: stderr [$err] is not one line naming $path";
  else _pass; fi
}
# The road checks only where the tool has the road commands (not in a build without pugixml).
road=no; "$TOOL" road --help >/dev/null 2>&1 && road=yes
for what in directory missing; do
  p=$D; [ $what = missing ] && p=$TMP/none.txt
  refused "crc16 of a $what" "$p" "$TOOL" crc16 "$p"
  refused "history check of a $what" "$p" "$TOOL" history check "$p"
  refused "ini get from a $what" "$p" "$TOOL" ini get "$p" S K
  refused "ini list of a $what" "$p" "$TOOL" ini list "$p"
  refused "area of a $what" "$p" "$TOOL" area "$p"
  # cogo, geod and resect read a directory as an empty file (exit 0, or resect's "too few").
  refused "cogo direction of a $what" "$p" "$TOOL" cogo direction "$p"
  refused "geod inverse of a $what" "$p" "$TOOL" geod inverse "$p"
  refused "resect of a $what" "$p" "$TOOL" resect "$p"
  refused "lines of a $what" "$p" "$TOOL" lines "$p"
  refused "beacons of a $what" "$p" "$TOOL" beacons "$p"
  [ $road = yes ] || continue
  refused "road info of a $what" "$p" "$TOOL" road info "$p"
  refused "road locate --input $what" "$p" "$TOOL" road locate --example --alignment 1 --input "$p"
  refused "road plot --points $what" "$p" "$TOOL" road plot --example --alignment 1 --points "$p" -o "$TMP/p.svg"
  refused "road sample --offsets $what" "$p" "$TOOL" road sample --example --alignment 1 --deviation 0.1 --offsets "$p"
done
refused "ini set onto a directory" "$D" "$TOOL" ini set "$D" S K V
if [ $road = yes ]; then
refused "road convert -o into a missing folder" "$TMP/no/such" "$TOOL" road convert "$EX" -o "$TMP/no/such/x.xml"
refused "road plot -o into a missing folder" "$TMP/no/such" "$TOOL" road plot --example --alignment 1 -o "$TMP/no/such/x.svg"
refused "road convert -o onto a directory" "$D" "$TOOL" road convert "$EX" -o "$D"
fi
if [ "$(id -u)" -ne 0 ]; then
  printf 'x' >"$TMP/locked.txt"; chmod 000 "$TMP/locked.txt"
  refused "crc16 of an unreadable file" "$TMP/locked.txt" "$TOOL" crc16 "$TMP/locked.txt"
fi

# ini set makes a missing folder, as the device does.
expect_status "ini set into a missing folder" 0 "$TOOL" ini set "$TMP/new/sub/a.ini" S K V
expect_out "and the value is there" "V" "$TOOL" ini get "$TMP/new/sub/a.ini" S K
printf 'x' >"$TMP/plain"
refused "ini set below a file" "$TMP/plain" "$TOOL" ini set "$TMP/plain/a.ini" S K V
finish
