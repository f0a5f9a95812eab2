#!/usr/bin/env bash
# fieldcore road: info on the example road, convert and read back, and every kind of bad road
# file exiting 2 with the file and the line.
TOOL=$1
SRC=$2
source "$(dirname "$0")/lib.sh"
EX="$SRC/examples/exampleRoad.xml"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# The line of `road info ARGS...` whose first field is NAME and second STATION.
point() { local name=$1 station=$2; shift 2; "$TOOL" road info "$@" | awk -v n="$name" -v s="$station" '$1 == n && $2 == s'; }

expect_status "road --help" 0 "$TOOL" road --help
expect_status "road without subcommand" 2 "$TOOL" road
expect_status "road unknown subcommand" 2 "$TOOL" road frobnicate
expect_status "info --help" 0 "$TOOL" road info --help
expect_out "info --help names the tolerance" "1" sh -c "'$TOOL' road info --help | grep -c 'smallNumTolerance lowered to 1e-10'"
expect_status "convert --help" 0 "$TOOL" road convert --help

# The example road (bundled: no ROAD given).
expect_status "info on the example" 0 "$TOOL" road info
expect_out "two alignments" "2" sh -c "'$TOOL' road info | grep -c '^alignment'"
expect_out "TS of the main road" \
  "    TS    1+320.00     6543471.9684        1234752.3733        53.5917" point TS 1+320.00
expect_out "last point, after the station equation" \
  "    POE   2+990.00     6544858.7619        1235407.3902        58.9000" point POE 2+990.00
expect_out "compound spirals listed" "3" sh -c "'$TOOL' road info '$EX' | grep -c 'compound spiral  '"
expect_out "sag arc of the profile" "1" sh -c "'$TOOL' road info | grep -c 'CircCurve *1+700.00.*arc *sag *155.9847 *6000.0000'"
expect_out "equation" "  station equation (line 32): back 2+200.00 = ahead 2+250.00 at chainage 2200.0000" \
  sh -c "'$TOOL' road info | grep 'station equation'"
expect_out "ramp alone, its PI from Start, PI and End" \
  "    PI    -            6543320.7620        1235019.9092        -" \
  sh -c "'$TOOL' road info --alignment 'Ramp A1' | awk '\$1 == \"PI\"'"
expect_out "US survey feet, stations of 100 ft" \
  "    POB   32+80.83     21467183.0564       4050411.5678        158.1362" point POB 32+80.83 --units usft
expect_status "unknown alignment" 2 "$TOOL" road info --alignment Nowhere
expect_err "unknown alignment message" "no alignment named 'Nowhere'" "$TOOL" road info --alignment Nowhere
expect_status "unknown profile" 2 "$TOOL" road info --alignment "Main Road" --profile Nowhere
expect_status "unknown option" 2 "$TOOL" road info --colour red
expect_status "bad units" 2 "$TOOL" road info --units yards

# Convert, and the written file lists the same.
expect_out "convert" "$TMP/out.xml: 2 alignments written as LandXML 1.2" "$TOOL" road convert "$EX" -o "$TMP/out.xml"
# The written file is laid out anew, so source lines differ; everything else is the same.
listing() { "$TOOL" road info "$1" | tail -n +2 | sed 's/(line [0-9]*)//' | awk '{ $NF = ""; print }'; }
listing "$EX" >"$TMP/a.txt"
listing "$TMP/out.xml" >"$TMP/b.txt"
expect_out "converted file lists the same" "" diff "$TMP/a.txt" "$TMP/b.txt"
expect_out "convert one alignment to stdout" "1" sh -c "'$TOOL' road convert '$EX' --alignment 'Ramp A1' -o - | grep -c '<Alignment '"
expect_status "convert without -o" 2 "$TOOL" road convert "$EX"
expect_status "convert to an unwritable place" 2 "$TOOL" road convert "$EX" -o "$TMP/no/such/dir/out.xml"

# Bad road files: exit 2, a message with FILE:LINE:, nothing on stdout.
bad() {   # NAME SED-SCRIPT LINE PATTERN
  local name=$1 script=$2 line=$3 pattern=$4 f="$TMP/bad.xml"
  sed "$script" "$EX" >"$f"
  expect_status "$name: exit 2" 2 "$TOOL" road info "$f"
  expect_err "$name: file and line" "^fieldcore road info: $f:$line: .*$pattern" "$TOOL" road info "$f"
  expect_out "$name: nothing listed" "" sh -c "'$TOOL' road info '$f' 2>/dev/null; exit 0"
}
bad "malformed XML" '15s|</Spiral>|</Spirl>|' 15 "malformed XML"
bad "missing attribute" '15s| length="80.000000"||' 15 "attribute 'length' is missing"
bad "non-numeric attribute" '15s|radiusEnd="600.000000"|radiusEnd="abc"|' 15 "'radiusEnd' is not a radius"
bad "unsupported spiral type" '15s|spiType="clothoid"|spiType="biquadraticParabola"|' 15 "spiral type 'biquadraticParabola' is not supported"
bad "gap over 1 mm" '16s|<Start>6543536.286468|<Start>6543536.288468|' 16 "gap of 0.0020 m between element 2 (Spiral, line 15) and element 3 (Curve, line 16)"
bad "empty alignment" '46,48d' 44 "alignment 'Ramp A1' has no geometry"
bad "unknown unit" 's|linearUnit="meter"|linearUnit="furlong"|' 9 "unknown linear unit 'furlong'"
bad "not LandXML" 's|LandXML|Survey|g' 7 "not a LandXML file"
expect_status "missing file" 2 "$TOOL" road info "$TMP/none.xml"
expect_err "missing file message" "none.xml: cannot read the file" "$TOOL" road info "$TMP/none.xml"

finish
