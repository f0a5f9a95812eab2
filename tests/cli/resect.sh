#!/usr/bin/env bash
# fieldcore resect: station, orientation, sigmas and residuals; no-solution reasons; bad lines.
TOOL=$1
source "$(dirname "$0")/lib.sh"

# Exact observations from the station (5000, 3000, 250), orientation 37.5, hi 1.6.
obs='P1 5150 3050 260 340.9349488229 86.4172108653 158.423515 1.5
P2 4900 3200 245  79.0650511771 91.3065695020 223.664950 1.5
P3 4950 2850 255 214.0650511771 88.2249535030 158.189791 1.5
P4 5100 2800 248 259.0650511771 90.5380766637 223.616659 1.5'
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo "$obs" > "$tmp/four"
head -2 "$tmp/four" > "$tmp/two"
head -3 "$tmp/four" | awk '{print $1, $2, $3, "-", $5, "-", "-", $8}' > "$tmp/dirs"
tr -s ' ' ',' < "$tmp/four" > "$tmp/commas"
r() { echo "'$TOOL' resect --hi 1.6 --decimals 6 $tmp/$1"; }

expect_out "four points" "station 5000.000000 3000.000000 250.000000" sh -c "$(r four) | head -1"
expect_out "four points orientation" "orientation 37.50000001" sh -c "$(r four) | sed -n 2p"
expect_out "four residual lines" "4" sh -c "$(r four) | grep -c '^residual P[1-4] 0.0 0.0000 0.0000$'"
expect_out "two points" "station 5000.000000 3000.000000 250.000000" sh -c "$(r two) | head -1"
expect_out "two points orientation" "orientation 37.49999991" sh -c "$(r two) | sed -n 2p"
expect_out "directions only: no height" "$(printf '%s\n' 'station 5000.000000 3000.000000 -' 'orientation 37.50000000')" \
  sh -c "$(r dirs) | head -2"
expect_out "directions only: sigma and residuals" "$(printf '%s\n' 'sigma 0.003428 0.003927 - 2.9' 'residual P1 0.0 - -')" \
  sh -c "$(r dirs) | sed -n '3,4p'"
expect_out "from stdin, comma separated" "station 5000.0000 3000.0000 250.0000" \
  sh -c "'$TOOL' resect --hi 1.6 - < $tmp/commas | head -1"

circle='A 100 0 0 300 - - 0
B -50 86.6025403784 0 180 - - 0
C -50 -86.6025403784 0 240 - - 0'
expect_status "station on the circle" 1 sh -c "echo '$circle' | '$TOOL' resect"
expect_err "station on the circle: reason" "no solution: ambiguous" sh -c "echo '$circle' | '$TOOL' resect"
expect_out "no solution prints nothing" "" sh -c "echo '$circle' | '$TOOL' resect; true"
expect_err "too few" "no solution: too few observations" sh -c "echo '$circle' | head -2 | '$TOOL' resect"
expect_status "too few exits 1" 1 sh -c "echo '$circle' | head -2 | '$TOOL' resect"

expect_status "bad value exits 2" 2 sh -c "printf 'A 100 0 0 0 - - 0\nB x 86.6 0 120 - - 0\n' | '$TOOL' resect"
expect_err "bad value names its line" "fieldcore resect: line 2: N 'x' is not a number" \
  sh -c "printf 'A 100 0 0 0 - - 0\nB x 86.6 0 120 - - 0\n' | '$TOOL' resect"
expect_out "bad input prints nothing" "" sh -c "sed '2s/245/abc/' $tmp/four | '$TOOL' resect; true"
expect_err "wrong field count" "line 1: expected 8 fields" sh -c "echo 'A 1 2 3' | '$TOOL' resect"
expect_err "nothing observed" "line 1: neither a reading nor a distance" sh -c "echo 'A 1 2 3 - - - 0' | '$TOOL' resect"
expect_status "bad sigma" 2 "$TOOL" resect --sigma-angle 0
expect_status "unknown option" 2 "$TOOL" resect --frobnicate
expect_status "--help" 0 "$TOOL" resect --help
expect_out "--help layout" "4" sh -c "'$TOOL' resect --help | grep -c -E '^(usage:|Options:|Examples:|Exit status:)'"

finish
