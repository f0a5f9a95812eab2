#!/usr/bin/env bash
# fieldcore station: chainages to "12+34.50" text and back, stdin lines, bad values, exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"

expect_out "hundred-metre stations" "12+34.50" "$TOOL" station 1234.5
expect_out "kilometre stations" "1+234.50" "$TOOL" station --unit 1000 1234.5
expect_out "unit after the value" "1+234.50" "$TOOL" station 1234.5 --unit=1000
expect_out "remainder rounds to a full unit, no carry" "12+100.00" "$TOOL" station 1299.999
expect_out "negative below one unit" "0+-50.00" "$TOOL" station -50
expect_out "negative" "-1+-50.00" "$TOOL" station -150
expect_out "several values" "$(printf '0+50.00\n1+0.00')" "$TOOL" station 50 100
expect_out "parse plus form" "1234.5" "$TOOL" station --parse 12+34.5
expect_out "parse plain metres" "77.25" "$TOOL" station --parse 77.25
expect_out "parse negative remainder" "-50" "$TOOL" station --parse 0+-50.00
expect_out "parse negative stations" "-150" "$TOOL" station --parse -1+-50.00
expect_out "stdin lines" "$(printf '0+0.00\n1+50.25')" sh -c "printf '0\n\n# note\n150.25\n' | '$TOOL' station"
expect_out "stdin parse" "$(printf '1234.5\n2000')" sh -c "printf '12+34.5\n20+0\n' | '$TOOL' station --parse"
expect_out "round trip" "1234.57" sh -c "'$TOOL' station 1234.567 | '$TOOL' station --parse"

expect_status "bad value exits 2" 2 "$TOOL" station abc
expect_err "bad value is named" "'abc' is not a number" "$TOOL" station abc
expect_err "bad station text is named" "'x+1' is not a station" "$TOOL" station --parse x+1
expect_status "bad station text exits 2" 2 "$TOOL" station --parse x+1
expect_err "bad stdin line is numbered" "line 2: '1o0' is not a number" sh -c "printf '100\n1o0\n200\n' | '$TOOL' station"
expect_out "good lines still answered" "$(printf '1+0.00\n2+0.00')" sh -c "printf '100\n1o0\n200\n' | '$TOOL' station; true"
expect_err "out of range is named" "'1e300' is out of range" "$TOOL" station 1e300
expect_status "out of range exits 2" 2 "$TOOL" station 1e300
expect_status "zero unit" 2 "$TOOL" station 5 --unit 0
expect_status "unit not a number" 2 "$TOOL" station 5 --unit km
expect_status "unit missing its value" 2 "$TOOL" station 5 --unit
expect_status "unknown option" 2 "$TOOL" station 5 --fast
expect_status "help" 0 "$TOOL" station --help
expect_status "help names the form" 0 sh -c "'$TOOL' station --help | grep -q -e '-> 12+34.50'"

expect_fail "stations beyond an int (read as 27644723101)" 2 "'99999999999999+1' is not a station" "$TOOL" station --parse 99999999999999+1
finish
