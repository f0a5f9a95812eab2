#!/usr/bin/env bash
# fieldcore road: info on the example road, convert and read back, and every kind of bad road
# file exiting 2 with the file and the line.
TOOL=$1
SRC=$2
source "$(dirname "$0")/lib.sh"
EX="$SRC/examples/exampleRoad.xml"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# The line of `road info --example ARGS...` whose first field is NAME and second STATION.
point() { local name=$1 station=$2; shift 2; "$TOOL" road info --example "$@" | awk -v n="$name" -v s="$station" '$1 == n && $2 == s'; }

expect_status "road --help" 0 "$TOOL" road --help
expect_status "road without subcommand" 2 "$TOOL" road
expect_status "road unknown subcommand" 2 "$TOOL" road frobnicate
expect_status "info --help" 0 "$TOOL" road info --example --help
expect_out "info --help names the tolerance" "1" sh -c "'$TOOL' road info --example --help | grep -c 'smallNumTolerance lowered to 1e-10'"
expect_status "convert --help" 0 "$TOOL" road convert --help

# The example road (bundled: no ROAD given).
expect_status "info on the example" 0 "$TOOL" road info --example
expect_out "two alignments" "2" sh -c "'$TOOL' road info --example | grep -c '^alignment'"
expect_out "TS of the main road" \
  "    TS    1+320.00     6543471.9684        1234752.3733        53.5917" point TS 1+320.00
expect_out "last point, after the station equation" \
  "    POE   2+990.00     6544858.7619        1235407.3902        58.9000" point POE 2+990.00
expect_out "compound spirals listed" "3" sh -c "'$TOOL' road info '$EX' | grep -c 'compound spiral  '"
expect_out "sag arc of the profile" "1" sh -c "'$TOOL' road info --example | grep -c 'CircCurve *1+700.00.*arc *sag *155.9847 *6000.0000'"
expect_out "equation" "  station equation (line 32): back 2+200.00 = ahead 2+250.00 at chainage 2200.0000" \
  sh -c "'$TOOL' road info --example | grep 'station equation'"
expect_out "ramp alone, its PI from Start, PI and End" \
  "    PI    -            6543320.7620        1235019.9092        -" \
  sh -c "'$TOOL' road info --example --alignment 'Ramp A1' | awk '\$1 == \"PI\"'"
# One PI per curve group, listed after the group's first point: the spiral-arc-spiral from the
# TS, the left group after the SS (the spirals there turn opposite ways), the compound group
# from the PC (their positions: roadPlot_test.cpp).
expect_out "a PI per curve group" "TS SS PC" sh -c \
  "'$TOOL' road info --example --alignment 'Main Road' | awk '\$1 == \"PI\" { printf \"%s%s\", sep, prev; sep = \" \" } { prev = \$1 } END { print \"\" }'"
expect_out "US survey feet, stations of 100 ft" \
  "    POB   32+80.83     21467183.0564       4050411.5678        158.1362" point POB 32+80.83 --units usft
expect_fail "unknown alignment" 2 "no alignment 'Nowhere'; the file holds" "$TOOL" road info --example --alignment Nowhere
expect_status "unknown profile" 2 "$TOOL" road info --example --alignment "Main Road" --profile Nowhere
expect_status "unknown option" 2 "$TOOL" road info --example --colour red
expect_status "bad units" 2 "$TOOL" road info --example --units yards

# Convert (what the written file answers: landXml_test.cpp; exporters' files: roadFiles.sh).
expect_out "convert" "$TMP/out.xml: 2 alignments written as LandXML 1.2" "$TOOL" road convert "$EX" -o "$TMP/out.xml"
expect_out "convert one alignment to stdout" "1" sh -c "'$TOOL' road convert '$EX' --alignment 'Ramp A1' -o - | grep -c '<Alignment '"
expect_status "convert without -o" 2 "$TOOL" road convert "$EX"

# A bad road file: exit 2, a message with FILE:LINE:, nothing on stdout (the reader's messages
# and lines for every kind of bad file: landXml_test.cpp).
sed '15s|</Spiral>|</Spirl>|' "$EX" >"$TMP/bad.xml"
expect_fail "malformed XML: file and line" 2 "^fieldcore road info: $TMP/bad.xml:15: .*malformed XML" "$TOOL" road info "$TMP/bad.xml"
expect_out "malformed XML: nothing listed" "" sh -c "'$TOOL' road info '$TMP/bad.xml' 2>/dev/null; exit 0"
# An element that cannot be taken refuses its alignment only: road info --example lists it with
# the reason and the line, the other alignment still answers, and choosing it exits 2.
refused() {   # NAME SED-SCRIPT LINE PATTERN ALIGNMENT OTHER
  local name=$1 script=$2 line=$3 pattern=$4 alignment=$5 other=$6 f="$TMP/bad.xml"
  sed "$script" "$EX" >"$f"
  "$TOOL" road info "$f" >"$TMP/refused.txt"
  expect_out "$name: listed as refused" "1" grep -c "^alignment [0-9] \"$alignment\" .*refused: .*$pattern.* (line $line)$" "$TMP/refused.txt"
  expect_fail "$name: chosen, names file and line" 2 "^fieldcore road info: alignment '$alignment' is refused: $f:$line: .*$pattern" \
    "$TOOL" road info "$f" --alignment "$alignment"
  expect_status "$name: the other alignment answers" 0 "$TOOL" road stakeout "$f" --alignment "$other" --station 100
  expect_err "$name: convert names what it leaves out" "alignment '$alignment' is refused and not written" \
    "$TOOL" road convert "$f" -o "$TMP/partial.xml"
  expect_out "$name: convert writes the other" "1" grep -c "<Alignment name=\"$other\"" "$TMP/partial.xml"
}
refused "missing attribute" '15s| length="80.000000"||' 15 "attribute 'length' is missing" "Main Road" "Ramp A1"
refused "empty alignment" '46,48d' 44 "alignment 'Ramp A1' has no geometry" "Ramp A1" "Main Road"
# No silent example: without a road file the commands stop; --example asks for it.
for sub in info "stakeout --station 1000" "locate 1000 2000" "sample --deviation 1" "plot -o $TMP/x.svg"; do
  # shellcheck disable=SC2086
  expect_err "${sub%% *} without a road file" "give the road file" "$TOOL" road $sub
done
expect_status "convert without a road file" 2 "$TOOL" road convert -o "$TMP/x.xml"
expect_err "a road file and --example" "not both" "$TOOL" road info "$EX" --example
expect_fail "missing file" 2 "none.xml: cannot read the file" "$TOOL" road info "$TMP/none.xml"

finish
