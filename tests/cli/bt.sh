#!/usr/bin/env bash
# fieldcore bt ports: on a copy of the example device root (examples/btDevice, a zr8 unit with the
# Socket Bluetooth stack), never on the source tree itself; registry files of the test's own.
TOOL=$1
SRC=${2:-$(dirname "$0")/../..}
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-bt-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$SRC/examples/btDevice" "$work/unit"
root="$work/unit"
nl='
'

expect_out "the example unit" "first 5${nl}second 8${nl}second-receiver yes" "$TOOL" bt ports --root "$root"
expect_out "internal Bluetooth: BtConfig.ini's port" "first 1${nl}second 8${nl}second-receiver yes" \
  "$TOOL" bt ports --root "$root" --internal-bt
expect_out "options before the subcommand" "first 1${nl}second 8${nl}second-receiver yes" \
  "$TOOL" bt --root "$root" --internal-bt ports

# A registry of the test's own, in version-5 form (UTF-8): no Socket stack.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Drivers\\Active\\01]\r\n"Key"="x"\r\n"Name"="COM3:"\r\n' > "$work/none.reg"
expect_out "no Socket stack on a zr8 unit" "first 0${nl}second 0${nl}second-receiver yes" \
  "$TOOL" bt ports --root "$root" --registry "$work/none.reg"
rm "$root/Windows/zr8_lcd.dll"
cp "$root/BtConfig.ini" "$work/BtConfig.keep"
printf 'x' > "$root/Windows/MavikLib.dll"
rm "$root/BtConfig.ini"
expect_out "the built-in radio's port 6" "first 6${nl}second 0${nl}second-receiver no" \
  "$TOOL" bt ports --root "$root" --registry "$work/none.reg"
# A mistyped root was made afresh and answered 0 for every port with exit 0: refused now.
expect_err "a root that does not exist" "--root '.*nowhere' is not a folder" "$TOOL" bt ports --root "$work/nowhere"
expect_status "a root that does not exist: exit 2" 2 "$TOOL" bt ports --root "$work/nowhere"
[ ! -e "$work/nowhere" ]
expect_out "a refused root is not made" "0" echo $?
# A folder given as the registry file stopped the tool with the stream's exception.
expect_err "a folder as the registry file" "is a folder, not a file" "$TOOL" bt ports --root "$root" --registry "$work"
mkdir "$work/empty"
expect_out "an empty root" "first 0${nl}second 0${nl}second-receiver no" \
  "$TOOL" bt ports --root "$work/empty"
[ -d "$work/empty/Program Files/fieldcore" ] && [ ! -e "$SRC/examples/btDevice/Program Files" ]
expect_out "the root is made, the source tree untouched" "0" echo $?

printf 'REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n"a"="b"\n"c"=hex:01\n' > "$work/bad.reg"
expect_status "a bad registry line" 2 "$TOOL" bt ports --root "$root" --registry "$work/bad.reg"
expect_err "names the file and the line" "fieldcore bt: .*bad.reg: line 4: " "$TOOL" bt ports --root "$root" --registry "$work/bad.reg"
cp "$work/bad.reg" "$root/.fieldcore-registry.reg"
expect_err "the root's own file too" "\.fieldcore-registry\.reg: line 4: " "$TOOL" bt ports --root "$root"
expect_status "a missing registry file" 2 "$TOOL" bt ports --root "$root" --registry "$work/missing.reg"
expect_status "unknown option" 2 "$TOOL" bt ports --root "$root" --port 3
expect_status "no values" 2 "$TOOL" bt ports --root "$root" extra
expect_status "missing value" 2 "$TOOL" bt ports --root
expect_status "unknown subcommand" 2 "$TOOL" bt radio
expect_status "no subcommand" 2 "$TOOL" bt
expect_status "overview" 0 "$TOOL" bt --help
expect_status "help" 0 "$TOOL" bt ports --help
expect_out "help has its sections" "Options: Examples: Errors: Exit" \
  sh -c "'$TOOL' bt ports --help | grep -o '^Options:\|^Examples:\|^Errors:\|^Exit' | tr '\n' ' ' | sed 's/ \$//'"
finish
