#!/usr/bin/env bash
# fieldcore curve: every measure from a size and one extent, units, spirals and bad inputs.
TOOL=$1
source "$(dirname "$0")/lib.sh"

# The value printed on the line NAME by: fieldcore curve ARGS...
value() { local name=$1; shift; "$TOOL" curve "$@" | awk -v n="$name" '$1 == n { print $2 }'; }

worked="$(printf '%s\n' 'radius 300.0000' 'degree_arc 19.0986' 'degree_chord 19.1881' 'degree_base 100 m' 'delta 25.5000' \
  'length 133.5177' 'chord 132.4185' 'tangent 67.8831' 'middle_ordinate 7.3973' 'external 7.5843')"
expect_out "radius and delta" "$worked" "$TOOL" curve --radius 300 --delta 25.5
# Every extent of the same curve gives the same curve back.
expect_out "from the length" "$worked" "$TOOL" curve --radius 300 --length 133.51768777756620
expect_out "from the chord" "$worked" "$TOOL" curve --radius 300 --chord 132.41846101290065
expect_out "from the tangent" "$worked" "$TOOL" curve --radius 300 --tangent 67.88306947650024
expect_out "from the middle ordinate" "$worked" "$TOOL" curve --radius 300 --middle-ordinate 7.397303847446201
expect_out "from the external" "$worked" "$TOOL" curve --radius 300 --external 7.584315467403769
expect_out "options in any order, --name=value" "$worked" "$TOOL" curve --delta=25.5 --radius=300

# Degree of curve: the central angle of 100 m of arc or chord.
expect_out "degree of arc 2" "2864.7890" value radius --degree-arc 2 --tangent 150
expect_out "degree of chord 60: radius 100" "100.0000" value radius --degree-chord 60 --delta 10
expect_out "no degree of chord below radius 50" "" value degree_chord --radius 40 --delta 10
expect_out "dms degree of curve" "2864.7890" value radius --degree-arc 2.0000 --angles dms --delta 10

# Spirals.
expect_out "spiral" "$(printf '%s\n' 'radius 300.0000' 'degree_arc 19.0986' 'degree_chord 19.1881' 'degree_base 100 m' \
  'spiral_length 80.0000' 'spiral_constant 154.9193' 'deflection 7.6394')" \
  "$TOOL" curve --radius 300 --spiral-length 80
expect_out "spiral constant back to the length" "80.0000" value spiral_length --radius 300 --spiral-constant 154.91933384829668

# Units: input and output in US survey feet (five-decimal display rounding), angles in dms and grd.
expect_out "usft length" "523.5988" value length --units usft --radius 1000 --delta 30
# In feet the degree of curve is per 100 feet (failed before: 18.7978, per 100 m).
expect_out "usft degree is per 100 usft" "5.7296" value degree_arc --units usft --radius 1000 --delta 30
expect_out "the base named" "100 usft" sh -c "'$TOOL' curve --units usft --radius 1000 --delta 30 | awk '\$1 == \"degree_base\" { print \$2, \$3 }'"
expect_out "ift degree 2 per 100 ft: radius 2864.7890 ft" "2864.7890" value radius --units ift --degree-arc 2 --delta 10
expect_out "ift degree of chord 60: radius 100 ft" "100.0000" value radius --units ift --degree-chord 60 --delta 10
expect_out "ift radius round trip" "1000.0000" value radius --units ift --radius 1000 --delta 30
expect_out "dms delta in and out" "30.1530" value delta --angles dms --radius 1000 --delta 30.1530
expect_out "dms delta from a length" "28.3852" value delta --angles dms --radius 100 --length 50
expect_out "grd delta" "50.0000" value delta --angles grd --radius 100 --delta 50
expect_out "more decimals" "133.517687777566" value length --radius 300 --delta 25.5 --decimals 12

# Curves that cannot exist: exit 2 with a clear message.
expect_status "chord beyond the diameter" 2 "$TOOL" curve --radius 300 --chord 700
expect_err "chord message" "longer than the diameter 600.0000" "$TOOL" curve --radius 300 --chord 700
expect_err "chord equal to the diameter" "equals the diameter" "$TOOL" curve --radius 300 --chord 600
expect_err "negative radius message" "radius must be positive" "$TOOL" curve --radius -300 --delta 10
expect_status "zero degree of curve" 2 "$TOOL" curve --degree-arc 0 --delta 10
expect_err "degree of chord above 180" "degree of chord above 180" "$TOOL" curve --degree-chord 200 --delta 10
expect_status "half circle" 2 "$TOOL" curve --radius 300 --delta 180
expect_err "length of half a circle" "half a circle" "$TOOL" curve --radius 100 --length 400
expect_err "middle ordinate of the radius" "not less than the radius" "$TOOL" curve --radius 100 --middle-ordinate 100
expect_status "zero tangent" 2 "$TOOL" curve --radius 100 --tangent 0
expect_status "negative spiral length" 2 "$TOOL" curve --radius 100 --spiral-length -5

# Usage errors.
expect_status "no extent" 2 "$TOOL" curve --radius 300
expect_err "no extent message" "missing the extent" "$TOOL" curve --radius 300
expect_status "no size" 2 "$TOOL" curve --delta 10
expect_err "two sizes" "give only one size" "$TOOL" curve --radius 300 --degree-arc 2 --delta 10
expect_err "two extents" "give only one extent" "$TOOL" curve --radius 300 --delta 10 --length 5
expect_err "not a number" "'abc' is not a number" "$TOOL" curve --radius abc --delta 10
expect_status "unknown unit" 2 "$TOOL" curve --units km --radius 300 --delta 10
expect_status "unknown option" 2 "$TOOL" curve --radius 300 --delta 10 --fast
expect_status "stray argument" 2 "$TOOL" curve --radius 300 --delta 10 42
expect_status "missing value" 2 "$TOOL" curve --delta 10 --radius
expect_status "too few decimals" 2 "$TOOL" curve --radius 300 --delta 10 --decimals 2
expect_status "help" 0 "$TOOL" curve --help
expect_out "help explains the base" "1" sh -c "'$TOOL' curve --help | grep -c '100 US survey feet (usft) or 100 feet (ift)'"

# Lengths beyond 1e9 m are refused (a radius of 1e300 printed 300-digit lengths, exit 0).
expect_fail "radius 1e300" 2 "'1e300' is out of range" "$TOOL" curve --radius 1e300 --delta 10
expect_fail "degree of arc 1e-20" 2 "no usable radius" "$TOOL" curve --degree-arc 1e-20 --delta 10
# Radii below 1e-5 m: every measure was printed as 0, the delta of 10 given among them.
expect_fail "radius 1e-300" 2 "a radius below 1e-5 m has no curve" "$TOOL" curve --radius 1e-300 --delta 10
expect_fail "degree of arc 1e300" 2 "no usable radius" "$TOOL" curve --degree-arc 1e300 --delta 10
finish
