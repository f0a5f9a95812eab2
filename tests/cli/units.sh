#!/usr/bin/env bash
# fieldcore angle and fieldcore dist: each unit reaches its conversion (the conversions'
# rules and edges are units_test's), stdin lines, bad values and exit codes.
TOOL=$1
source "$(dirname "$0")/lib.sh"

expect_out "dms to deg" "123.758333333333" "$TOOL" angle 123.4530 --from dms --to deg
expect_out "deg to dms, 4 digits" "123.4530" "$TOOL" angle 123.75833333333334 --from deg --to dms
expect_out "deg to dms, 5 digits" "12.30000" "$TOOL" angle 12.5 --from deg --to dms --digits 5
expect_out "deg to grd" "100" "$TOOL" angle 90 --from deg --to grd
expect_out "deg to mls" "1600" "$TOOL" angle 90 --from deg --to mls
expect_out "deg to rad rounds to 5 decimals" "3.14159" "$TOOL" angle 180 --from deg --to rad
expect_out "grd to dms" "90.0000" "$TOOL" angle 100 --from grd --to dms
expect_out "m to usft" "328.08333" "$TOOL" dist 100 --from m --to usft
expect_out "ifti to m" "1.711325" "$TOOL" dist 5.073 --from ifti --to m
expect_out "m to ifti" "3.033" "$TOOL" dist 1 --from m --to ifti
expect_out "usft to m" "0.304800609601219" "$TOOL" dist 1 --from usft --to m
expect_out "stdin lines" "$(printf '0.5\n1.5')" sh -c "printf '0.3000\n\n# note\n1.3000\n' | '$TOOL' angle --from dms --to deg"

expect_status "bad value exits 2" 2 "$TOOL" angle abc --from dms --to deg
expect_err "bad value is named" "'abc' is not a number" "$TOOL" angle abc --from dms --to deg
expect_err "bad stdin line is numbered" "line 2: 'x1' is not a number" sh -c "printf '1\nx1\n2\n' | '$TOOL' dist --from m --to ift"
expect_out "good lines still answered" "$(printf '3.28084\n6.56168')" sh -c "printf '1\nx1\n2\n' | '$TOOL' dist --from m --to ift; true"
expect_status "stdin bad line exits 2" 2 sh -c "printf '1\nx1\n2\n' | '$TOOL' dist --from m --to ift"
expect_status "unknown unit" 2 "$TOOL" angle 1 --from deg --to turns
expect_status "missing --to" 2 "$TOOL" dist 1 --from m
expect_status "unknown option" 2 "$TOOL" dist 1 --from m --to ift --fast
expect_status "help" 0 "$TOOL" angle --help
expect_status "dist help" 0 "$TOOL" dist --help
expect_status "overall help" 0 "$TOOL" --help
expect_status "unknown command" 2 "$TOOL" frobnicate

# angle --text: AngleToString of the value in degrees (width-3 degrees, U+00B0, seconds mark ").
expect_out "text form" " 12°30'0.00000\"" "$TOOL" angle 12.5 --from deg --text
expect_out "text form from dms" " 12°30'0.00000\"" "$TOOL" angle 12.3 --from dms --text
expect_out "text form from grd" " 90°00'0.00000\"" "$TOOL" angle 100 --from grd --text
expect_out "text form carries 60 seconds" "  1°00'0.00000\"" "$TOOL" angle 0.99999999999 --from deg --text
expect_out "text form with --to deg" "123°45'30.00000\"" "$TOOL" angle 123.4530 --from dms --to deg --text
expect_out "text form stdin" "$(printf '  0°30'"'"'0.00000"\n  1°15'"'"'0.00000"')" sh -c "printf '0.5\n1.25\n' | '$TOOL' angle --from deg --text"
expect_status "text form with another --to" 2 "$TOOL" angle 1 --from deg --to rad --text
expect_status "text form needs --from" 2 "$TOOL" angle 1 --text
expect_err "text form bad value is named" "'abc' is not a number" "$TOOL" angle abc --from deg --text
# 1e300 degrees have no whole degrees in the text form's integer: refused, not converted.
expect_err "1e300 in the text form" "line 1: '1e300' is out of range" sh -c "echo 1e300 | '$TOOL' angle --from deg --text"
expect_status "1e300 in the text form: exit 2" 2 "$TOOL" angle 1e300 --from deg --text
expect_out "the other lines still answered" "$(printf ' 12\302\26030'"'"'0.00000"')" sh -c "printf '1e300\n12.5\n' | '$TOOL' angle --from deg --text 2>/dev/null; exit 0"

# One number grammar: decimal numbers only, packed values checked before conversion. Each
# of these was converted before (0x10 as 16, 0x1p3 as 8, 12.6030 dms as 13 deg 0 min 30 s).
for bad in 0x10 0x1p3 inf nan 1e400 12,5; do
  expect_status "'$bad' refused" 2 "$TOOL" angle "$bad" --from deg --to rad
done
expect_status "hexadecimal on stdin refused" 2 sh -c "printf '0x10\n' | '$TOOL' dist --from m --to usft"
expect_err "minutes of 60 refused" "minutes (60) must be below 60" "$TOOL" angle 12.6030 --from dms --to deg
expect_err "seconds of 75 refused" "seconds (75) must be below 60" "$TOOL" angle 12.3075 --from dms --to deg
expect_out "12.3 dms is 12 deg 30 min" "12.5" "$TOOL" angle 12.3 --from dms --to deg
expect_err "inches of 12 refused" "inches (12) must be below 12" "$TOOL" dist 5.123 --from ifti --to m
expect_err "eighths of 8 refused" "eighths (8) must be below 8" "$TOOL" dist 5.078 --from usfti --to m
expect_status "curve --angles dms checks its angles" 2 "$TOOL" curve --radius 300 --delta 25.7000 --angles dms
# So do the survey commands (each took 12.6030 as 13 deg 0 min 30 s, exit 0).
expect_fail "cogo --angles dms" 2 "line 1: .*minutes (60) must be below 60" sh -c "echo '0 0 0 12.6030 90 10' | '$TOOL' cogo direction --angles dms"
expect_fail "geod --angles dms" 2 "line 1: .*minutes (60) must be below 60" sh -c "echo '12.6030 0 0 1' | '$TOOL' geod direct --angles dms"
expect_fail "resect --angles dms" 2 "line 1: HA .*minutes (99) must be below 60" sh -c "printf 'A 100 0 0 359.9999999 90 100 0\\nB 0 100 0 90 90 100 0\\n' | '$TOOL' resect --angles dms"
expect_fail "cogo --backsight-azimuth in dms" 2 "minutes (75) must be below 60" "$TOOL" cogo traverse --start 0 0 0 --backsight-azimuth 10.75 --angles dms
expect_status "road stations: no hexadecimal" 2 "$TOOL" road stakeout --example --alignment 1 --station 0x400
# Values that round to zero print without a minus sign (each printed -0 or -0.0000 before).
expect_out "-0.0000001 deg to rad" "0" "$TOOL" angle -0.0000001 --from deg --to rad
expect_out "-0.000001 deg to dms" "0.0000" "$TOOL" angle -0.000001 --from deg --to dms
expect_out "-0.0001 m to ifti" "0.000" "$TOOL" dist -0.0001 --from m --to ifti
expect_out "-0 m to m" "0" "$TOOL" dist -0 --from m --to m
# Distances beyond 1e9 m are refused (1e308 usft printed inf, 1e300 m in ifti 300 digits).
expect_fail "1e308 usft" 2 "line 1: '1e308' is out of range" sh -c "echo 1e308 | '$TOOL' dist --from usft --to m"
expect_status "1e300 m to ifti" 2 "$TOOL" dist 1e300 --from m --to ifti
expect_out "1e9 m still converts" "3280839895.001" "$TOOL" dist 1e9 --from m --to ifti
# A flag or option given twice is said so (each was called an unknown option).
expect_fail "--text twice" 2 "--text given twice" "$TOOL" angle 1 --from deg --text --text
expect_fail "lines --count twice" 2 "--count given twice" "$TOOL" lines /dev/null --count --count
expect_fail "tictimer --for twice" 2 "--for given twice" "$TOOL" tictimer --base 10 --timer 1:1 --for 5 --for 5
expect_fail "geod --decimals twice" 2 "--decimals given twice" "$TOOL" geod inverse --decimals 5 --decimals 6
finish
