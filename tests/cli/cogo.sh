#!/usr/bin/env bash
# fieldcore cogo: direction, inverse and traverse records, CSV rows, bad lines and exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"

expect_out "direction east" "1000.000000 2010.000000 100.000000" \
  sh -c "echo '1000 2000 100 90 90 10' | '$TOOL' cogo direction --decimals 6"
expect_out "direction 350 + 20 reduced once" "1009.848078 2001.736482 100.000000" \
  sh -c "echo '1000 2000 100 350 90 10' | '$TOOL' cogo direction --decimals 6 --orientation 20"
expect_out "direction backsight form" "1009.848078 2001.736482 100.000000" \
  sh -c "echo '1000 2000 100 350 90 10' | '$TOOL' cogo direction --decimals 6 --backsight 30 10"
expect_out "direction hi and ht" "10.0000 0.0000 0.1000" \
  sh -c "echo '0 0 0 0 90 10' | '$TOOL' cogo direction --hi 1.6 --ht 1.5"
expect_out "direction accuracy at 1000 m" "1000.0000000000 0.0000000000 0.0000000000 0.0246091609 0.0486666538" \
  sh -c "echo '0 0 0 0 90 1000' | '$TOOL' cogo direction --accuracy --decimals 10"
expect_out "direction curvature over a level kilometre" "1000.0000000000 0.0000000000 0.0674933291" \
  sh -c "echo '0 0 0 0 90 1000' | '$TOOL' cogo direction --curvature 0.14 --decimals 10"
expect_out "direction from a file" "1000.0000 2010.0000 100.0000" \
  sh -c "f=\$(mktemp); echo '1000,2000;100 90 90 10' > \$f; '$TOOL' cogo direction \$f; rm -f \$f"

expect_out "inverse 10 m north, 1 m up" "0.0000000000 84.2894068625 10.0498756211" \
  sh -c "echo '0 0 0 10 0 1' | '$TOOL' cogo inverse --decimals 10"
# Orientation 10 - 350 = -340 and azimuth 200: the library's HA 540, printed modulo 360.
expect_out "inverse HA in [0, 360)" "180.0000 90.0000 10.0000" \
  sh -c "echo '0 0 0 -9.396926207859083 -3.420201433256687 0' | '$TOOL' cogo inverse --backsight 10 350"
expect_out "inverse corrected level line" "0.000000 90.000000 1000.000000" \
  sh -c "echo '0 0 50 1000 0 50' | '$TOOL' cogo inverse --curvature 0.14 --decimals 6"
expect_out "inverse dms" "45.0000 90.0000 14.1421" \
  sh -c "echo '0 0 0 10 10 0' | '$TOOL' cogo inverse --angles dms"
expect_out "no negative zero" "0.0000 0.0000 0.0000" \
  sh -c "echo '0 0 0 0 90 0.00001' | '$TOOL' cogo direction --orientation 180"

legs=$(printf '0 90 90 100\n0 90 90 100\n0 90 90 100\n0 90 90 100\n')
expect_out "closed square traverse" "$(printf '%s\n' '1000.000000 1100.000000 100.000000' \
  '1100.000000 1100.000000 100.000000' '1100.000000 1000.000000 100.000000' '1000.000000 1000.000000 100.000000' \
  'misclosure 0.000000 0.000000 0.000000 0.000000 400.000000')" \
  sh -c "echo '$legs' | '$TOOL' cogo traverse --decimals 6 --start 1000 1000 100 --backsight-azimuth 0 --close 1000 1000 100"
expect_out "traverse misclosure given minus computed" "$(printf '%s\n' '1000.0000 1100.0000 101.0000' \
  'misclosure 0.3000 -0.4000 0.0000 0.5000 100.0000')" \
  sh -c "echo '0 90 90 100 1.6 0.6' | '$TOOL' cogo traverse --start 1000 1000 100 --backsight 1100 1000 --close 1000.3 1099.6 101"

expect_out "csv keeps the bad row" "$(printf '%s\n' 'north,east,height,status' \
  '1000.000000000,2010.000000000,100.000000000,ok' ",,,value 3 'x' is not a number" \
  '1010.000000000,2000.000000000,100.000000000,ok')" \
  sh -c "printf '1000 2000 100 90 90 10\n1000 2000 x 90 90 10\n1000 2000 100 0 90 10\n' | '$TOOL' cogo direction --csv; true"
expect_status "csv with a bad row exits 2" 2 \
  sh -c "printf '1000 2000 100 90 90 10\n1000 2000 x 90 90 10\n1000 2000 100 0 90 10\n' | '$TOOL' cogo direction --csv"
expect_err "bad line named" "fieldcore cogo direction: line 2: value 3 'x' is not a number" \
  sh -c "printf '1 2 3 4 5 6\n1000 2000 x 90 90 10\n' | '$TOOL' cogo direction"
expect_out "bad line prints nothing, the rest runs" "1.0000 7.0000 3.0000" \
  sh -c "printf '1 2 3 90 90 5\n1 2\n' | '$TOOL' cogo direction; true"
expect_err "wrong count" "line 1: expected 6 values, got 5" sh -c "echo '1 2 3 4 5' | '$TOOL' cogo inverse"
expect_out "traverse csv: legs and misclosure share the columns" "$(printf '%s\n' \
  'kind,north,east,height,linear,length,status' 'leg,1000.000000000,1100.000000000,100.000000000,,,ok' \
  'leg,1100.000000000,1100.000000000,100.000000000,,,ok' 'misclosure,0.000000000,-100.000000000,0.000000000,100.000000000,200.000000000,ok')" \
  sh -c "printf '0 90 90 100\n0 90 90 100\n' | '$TOOL' cogo traverse --start 1000 1000 100 --backsight-azimuth 0 --close 1100 1000 100 --csv"
expect_err "bad leg ends the traverse" "line 3: not computed: the traverse ended at line 2" \
  sh -c "printf '0 90 90 100\nx 90 90 100\n0 90 90 100\n' | '$TOOL' cogo traverse --start 0 0 0 --backsight-azimuth 0 --close 0 0 0"
expect_out "no misclosure after a bad leg" "0.0000 100.0000 0.0000" \
  sh -c "printf '0 90 90 100\nx 90 90 100\n' | '$TOOL' cogo traverse --start 0 0 0 --backsight-azimuth 0 --close 0 0 0; true"

# A leg that ends on its own station in plan leaves no backsight: the next leg was computed
# from azimuth 0 (printed 0 10 0, exit 0).
for leg in '0 90 90 0' '0 90 0 10'; do
  expect_fail "traverse after the leg '$leg'" 2 "line 2: the leg before has no horizontal length" \
    sh -c "printf '$leg\\n0 90 90 10\\n' | '$TOOL' cogo traverse --start 0 0 0 --backsight-azimuth 0"
done
expect_out "such a leg may end the traverse" "0.0000 0.0000 0.0000" \
  sh -c "echo '0 90 90 0' | '$TOOL' cogo traverse --start 0 0 0 --backsight-azimuth 0"
expect_status "traverse needs --start" 2 "$TOOL" cogo traverse --backsight-azimuth 0
expect_status "traverse needs one backsight" 2 "$TOOL" cogo traverse --start 0 0 0
expect_status "orientation and backsight both" 2 "$TOOL" cogo direction --orientation 1 --backsight 1 2
expect_status "bad curvature" 2 "$TOOL" cogo direction --curvature 0.13
expect_status "unknown option" 2 "$TOOL" cogo inverse --frobnicate
expect_status "unknown subcommand" 2 "$TOOL" cogo sideways
expect_status "missing file" 2 "$TOOL" cogo direction /nonexistent/shots.txt
for sub in direction inverse traverse; do
  expect_status "$sub --help" 0 "$TOOL" cogo $sub --help
  expect_out "$sub --help layout" "4" sh -c "'$TOOL' cogo $sub --help | grep -c -E '^(usage:|Options:|Examples:|Exit status:)'"
done
# Corrections that put the point beyond 1e9 m or through the Earth's centre (printed 300
# digits, inf -nan, or a distance turned round, each with exit 0).
expect_fail "--scale 1e300" 2 "beyond 1e9 m" sh -c "echo '0 0 0 0 90 10' | '$TOOL' cogo direction --scale 1e300"
for e in -6371000 -6372000; do
  expect_fail "--elevation $e" 2 "Earth's centre" sh -c "echo '0 0 0 0 90 10' | '$TOOL' cogo direction --elevation $e"
done
# Options given twice: the second --decimals won silently; others were called unknown.
expect_fail "--decimals twice" 2 "given twice" sh -c "echo '0 0 0 0 90 1' | '$TOOL' cogo direction --decimals 4 --decimals 5"
expect_status "--help after an option, before the subcommand (was exit 2)" 0 "$TOOL" cogo --units ft --help
expect_status "no subcommand, no --help" 2 "$TOOL" cogo --units ft
expect_out "overview names the subcommands" "3" sh -c "'$TOOL' cogo --help | grep -c -E '^  (direction|inverse|traverse) '"

# Lengths beyond 1e9 m are refused: an SD of 1e300 printed 300-digit coordinates, a north of
# 6e283 at HA 90 among them.
expect_fail "SD 1e300" 2 "line 1: .*'1e300' is out of range" sh -c "echo '0 0 0 90 90 1e300' | '$TOOL' cogo direction"
expect_fail "point at 1e300" 2 "line 1: .*'1e300' is out of range" sh -c "echo '0 0 0 1e300 1e300 0' | '$TOOL' cogo inverse"
finish
