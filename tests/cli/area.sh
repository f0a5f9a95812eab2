#!/usr/bin/env bash
# fieldcore area: polygon measures, hinge and parallel area division, units, bad input and exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Square 10 x 10: east, north, west from the origin (counter-clockwise on the map).
square=$'0 0\n0 10\n10 10\n10 0'
# Boundary east then north: the hinge line closes it from the first point.
hook=$'0,0\n0,10\n10,10'
printf '# parcel 7, north east\n\n0, 0\n0;10   # corner\n10\t10\n10 0\n' >"$tmp/parcel.txt"

expect_out "square" "$(printf 'points 4\narea 100.0000\nperimeter 40.0000\norientation counter-clockwise\nself_crossing no')" \
  sh -c "printf '%s\n' '$square' | '$TOOL' area"
expect_out "file with comments, blank lines, CSV, tabs" "$(printf 'points 4\narea 100.0000\nperimeter 40.0000\norientation counter-clockwise\nself_crossing no')" \
  "$TOOL" area "$tmp/parcel.txt"
expect_out "clockwise order" "orientation clockwise" \
  sh -c "printf '0 0\n10 0\n10 10\n0 10\n' | '$TOOL' area | grep orientation"
expect_out "figure eight: sides 1 and 3 cross" "self_crossing sides 1 3" \
  sh -c "printf '0 0\n1 1\n1 0\n0 1\n' | '$TOOL' area | grep self_crossing"
expect_out "closing side (4) crossed by side 2" "self_crossing sides 2 4" \
  sh -c "printf '0 0\n0 1\n1 0\n1 1\n' | '$TOOL' area | grep self_crossing"
expect_out "US survey feet: square units" "$(printf 'area 100.0000\nperimeter 40.0000')" \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --units usft | grep -E '^(area|perimeter)'"
expect_out "hinge" "$(printf 'new_point 5.0000 0.0000\narea 75.0000')" \
  sh -c "printf '%s\n' '$hook' | '$TOOL' area --divide-hinge 0 --area 75"
expect_out "hinge, clockwise list" "$(printf 'new_point 10.0000 5.0000\narea 75.0000')" \
  sh -c "printf '10 10\n0 10\n0 0\n' | '$TOOL' area --divide-hinge 270 --area 75"
expect_out "hinge on two points, grads" "$(printf 'new_point -10.0000 0.0000\narea 50.0000')" \
  sh -c "printf '0 0\n0 10\n' | '$TOOL' area --divide-hinge 200 --angles grd --area 50"
expect_out "hinge, dms azimuth" "$(printf 'new_point -10.0000 0.0000\narea 50.0000')" \
  sh -c "printf '0 0\n0 10\n' | '$TOOL' area --divide-hinge 180.0000 --angles dms --area 50"

expect_out "parallel, sides square to the base" \
  "$(printf 'new_point_last_side 10.0000 -5.0000\nnew_point_first_side 0.0000 -5.0000\narea 150.0000')" \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --divide-parallel 270 270 --area 150"
expect_out "parallel, clockwise list solved in reverse" \
  "$(printf 'new_point_last_side 0.0000 -5.0000\nnew_point_first_side 10.0000 -5.0000\narea 150.0000')" \
  sh -c "printf '10 0\n10 10\n0 10\n0 0\n' | '$TOOL' area --divide-parallel 270 270 --area 150"
expect_out "parallel, converging sides" \
  "$(printf 'new_point_last_side 8.0000 -2.0000\nnew_point_first_side 2.0000 -2.0000\narea 116.0000')" \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --divide-parallel 315 225 --area 116"
expect_out "parallel along a given direction" \
  "$(printf 'new_point_last_side 10.0000 -5.0000\nnew_point_first_side 0.0000 -15.0000\narea 200.0000')" \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --divide-parallel 270 270 --direction 45 --area 200"

expect_status "hinge parallel to the needed line: no solution" 1 \
  sh -c "printf '%s\n' '$hook' | '$TOOL' area --divide-hinge 45 --area 75"
expect_err "no solution is explained" "no solution" \
  sh -c "printf '%s\n' '$hook' | '$TOOL' area --divide-hinge 45 --area 75"
expect_status "parallel sides on opposite sides: no solution" 1 \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --divide-parallel 270 90 --area 150"
expect_status "parallel cannot shrink the figure" 1 \
  sh -c "printf '%s\n' '$square' | '$TOOL' area --divide-parallel 270 270 --area 50"

expect_status "bad value exits 2" 2 sh -c "printf '0 0\n0 x\n1 1\n2 0\n' | '$TOOL' area"
expect_err "bad value is named with its line" "line 3: 'x' is not a number" \
  sh -c "printf '# corners\n0 0\n0 x\n1 1\n2 0\n' | '$TOOL' area"
expect_err "one value on a line" "line 2: expected two values (north east), found 1" \
  sh -c "printf '0 0\n5\n1 1\n2 0\n' | '$TOOL' area"
expect_err "every bad line is reported" "line 4: " sh -c "printf '0 0\n5\n1 1\n7 8 9\n' | '$TOOL' area"
expect_status "two points cannot be measured" 2 sh -c "printf '0 0\n1 1\n' | '$TOOL' area"
expect_err "minimum for area" "at least 3 points, found 2" sh -c "printf '0 0\n1 1\n' | '$TOOL' area"
expect_err "minimum for a division" "at least 2 points, found 1" \
  sh -c "printf '0 0\n' | '$TOOL' area --divide-hinge 0 --area 5"
expect_status "missing file" 2 "$TOOL" area "$tmp/none.txt"
expect_status "--area without a division" 2 "$TOOL" area --area 5
expect_status "division without --area" 2 "$TOOL" area --divide-hinge 10
expect_status "--direction without --divide-parallel" 2 "$TOOL" area --divide-hinge 10 --direction 5 --area 5
expect_status "negative area" 2 "$TOOL" area --divide-hinge 10 --area -5
expect_status "unknown unit" 2 "$TOOL" area --units furlong
expect_status "unknown option" 2 "$TOOL" area --fast
expect_status "help" 0 "$TOOL" area --help
expect_out "help is the manual" "usage: fieldcore area [FILE] [--units m|usft|ift] [--decimals N]" \
  sh -c "'$TOOL' area --help | head -1"

# Coordinates beyond 1e9 m are refused: 1e160 printed area inf, 1e100 a 200-digit area (exit 0).
expect_fail "1e160 coordinates" 2 "line 2: '1e160' is out of range" sh -c "printf '0 0\\n1e160 0\\n0 1e160\\n' | '$TOOL' area"
# An area of 1e300 printed 300-digit points and area nan (exit 0); 1e17 puts them beyond 1e9 m.
expect_fail "--area 1e300" 2 "out of range" sh -c "printf '0 0\\n10 0\\n' | '$TOOL' area --divide-parallel 90 90 --area 1e300"
expect_fail "--area 1e17" 1 "beyond 1e9 m" sh -c "printf '0 0\\n10 0\\n' | '$TOOL' area --divide-parallel 90 90 --area 1e17"
expect_fail "hinge --area 1e17" 1 "beyond 1e9 m" sh -c "printf '0 0\\n0 10\\n' | '$TOOL' area --divide-hinge 135 --area 1e17"
expect_fail "hinge azimuth 135.6030 dms" 2 "minutes (60) must be below 60" sh -c "printf '0 0\\n0 10\\n' | '$TOOL' area --divide-hinge 135.6030 --angles dms --area 50"
expect_fail "parallel azimuth 90.0075 dms" 2 "seconds (75) must be below 60" sh -c "printf '0 0\\n10 0\\n' | '$TOOL' area --divide-parallel 90 90.0075 --angles dms --area 50"
finish
