#!/usr/bin/env bash
# fieldcore road stakeout | locate | sample on the example road: answers, round trips through
# CSV, flags beyond the ends, station equations, units, bad lines and exit codes.
TOOL=$1
SRC=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$(dirname "$0")/lib.sh"
export FIELDCORE_EXAMPLES="$SRC/examples"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
# The example's main road alone: a file of one alignment needs no choice and its CSV has no
# alignment column.
MAIN=$TMP/main.xml
sed '/<Alignment name="Ramp A1"/,/<\/Alignment>/d' "$SRC/examples/exampleRoad.xml" >"$MAIN"

# Every answer of a CSV column pair within a tolerance: expect_close NAME TOL FILE_A COL_A FILE_B COL_B
expect_close() {
  local name=$1 tol=$2 worst
  worst=$(paste -d, <(tail -n +2 "$3" | cut -d, -f"$4") <(tail -n +2 "$5" | cut -d, -f"$6") |
          awk -F, '{d = $1 - $2; if (d < 0) d = -d; if (d > w) w = d} END {printf "%.3g", w + 0}')
  if awk -v w="$worst" -v t="$tol" 'BEGIN {exit !(w <= t)}'; then _pass; else _fail "$name: differs by $worst"; fi
}

# --help of each
for sub in stakeout locate sample; do
  expect_status "$sub help" 0 "$TOOL" road $sub --help
  expect_status "$sub help is the manual" 0 sh -c "'$TOOL' road $sub --help | grep -q -e 'Exit status'"
done
expect_status "road lists the answers" 0 sh -c "'$TOOL' road --help | grep -q -e 'locate'"

# Stake-out
expect_out "stakeout text" \
  "1+450.00  offset -3.5000  north 6543576.1994  east 1234830.4539  height 52.7000  azimuth 43.7944" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1+450 --offset -3.5 | sed 1d"
expect_out "text output starts with its header" \
  "# alignment 1 \"Main Road\"; lengths and heights in metres; stations n+rest, 1000 m a station; offsets right positive; azimuths in degrees" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1+450 | head -1"
expect_out "stakeout csv header" "station,offset,north,east,height,azimuth,extent" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1450 --csv | head -1"
expect_out "stakeout before the start" "before" \
  sh -c "'$TOOL' road stakeout $MAIN --station 950 --csv | tail -1 | cut -d, -f7"
expect_out "no height before the first VIP" "" \
  sh -c "'$TOOL' road stakeout $MAIN --station 950 --csv | tail -1 | cut -d, -f5"
expect_out "stakeout beyond the end" "beyond" \
  sh -c "'$TOOL' road stakeout $MAIN --station 3+10 --csv | tail -1 | cut -d, -f7"
# A range (its stations across equations: roadStations_test.cpp) skips the equation's gap.
expect_out "range skips the equation's gap" "$(printf '2190.000000000\n2200.000000000\n2250.000000000\n2260.000000000')" \
  sh -c "'$TOOL' road stakeout $MAIN --from 2190 --to 2260 --every 10 --csv | tail -n +2 | cut -d, -f1"
# "--offset -0" printed its CSV offset as -0.000000000.
expect_out "a negative zero offset has no sign" "0.000000000" \
  sh -c "'$TOOL' road stakeout $MAIN --station 1500 --offset -0 --csv | tail -1 | cut -d, -f2"
expect_fail "station in the gap is named" 2 "gap of a station equation" "$TOOL" road stakeout $MAIN --station 2+225
expect_out "stakeout stdin lines" "$(printf '1100.000000000,1.000000000\n1200.000000000,-2.000000000')" \
  sh -c "printf '1100 1\n1+200 -2\n' | '$TOOL' road stakeout $MAIN --csv | tail -n +2 | cut -d, -f1,2"
expect_fail "stakeout bad line numbered" 2 "line 2: 'x+1' is not a station" \
  sh -c "printf '1100\nx+1\n1200\n' | '$TOOL' road stakeout $MAIN"
expect_out "the ramp by name" "0+100.00" \
  sh -c "'$TOOL' road stakeout --example --alignment 'ramp a1' --station 100 | sed 1d | cut -d' ' -f1"
expect_out "the ramp by number, named in the header" "# alignment 2 \"Ramp A1\" of 2" \
  sh -c "'$TOOL' road stakeout --example --alignment 2 --station 100 | head -1 | cut -d';' -f1"
expect_out "the alignment named in CSV" "\"Ramp A1\",100.000000000" \
  sh -c "'$TOOL' road stakeout --example --alignment 2 --station 100 --csv | tail -1 | cut -d, -f1,2"
expect_fail "several alignments need the choice, listed" 2 "2  \"Ramp A1\"  stations 0+000.00 to 0+260.00" \
  "$TOOL" road locate --example 6543576.1994 1234830.4539
expect_status "unknown alignment" 2 "$TOOL" road stakeout --example --alignment Nowhere --station 1100
expect_status "range needs all three" 2 "$TOOL" road stakeout $MAIN --from 1000 --to 1100
expect_status "every must be positive" 2 "$TOOL" road stakeout $MAIN --from 1000 --to 1100 --every 0

# Stake-out then locate: the stations and offsets come back.
"$TOOL" road stakeout $MAIN --from 1000 --to 2990 --every 7.3 --offset 12.5 --csv > "$TMP/staked.csv"
tail -n +2 "$TMP/staked.csv" | cut -d, -f3,4 > "$TMP/points.csv"
"$TOOL" road locate $MAIN --input "$TMP/points.csv" --csv > "$TMP/located.csv"
expect_close "round trip stations" 1e-6 "$TMP/staked.csv" 1 "$TMP/located.csv" 3
expect_close "round trip offsets" 1e-6 "$TMP/staked.csv" 2 "$TMP/located.csv" 4
expect_close "design heights agree" 1e-6 "$TMP/staked.csv" 5 "$TMP/located.csv" 5

# Locate
expect_out "locate text with cut/fill" "1+450.00  offset -3.5000  height 52.7000  fill 0.7000  element 3" \
  sh -c "'$TOOL' road locate $MAIN 6543576.1994 1234830.4539 52 | sed 1d"
expect_out "locate csv header" "name,line,station,offset,height,cut_fill,element,extent,status" \
  sh -c "'$TOOL' road locate $MAIN 6543576.1994 1234830.4539 53 --csv | head -1"
expect_out "locate csv" "1450.0000,-3.5000,52.7000,0.3000,3,inside,ok,9" \
  sh -c "'$TOOL' road locate $MAIN 6543576.1994 1234830.4539 53 --csv | awk -F, 'NR == 2 {
    split(\$3, d, \".\"); printf \"%.4f,%.4f,%.4f,%.4f,%s,%s,%s,%d\", \$3, \$4, \$5, \$6, \$7, \$8, \$9, length(d[2])}'"
expect_out "locate behind the start" "before" \
  sh -c "'$TOOL' road locate $MAIN 6543100 1234500 --csv | tail -1 | cut -d, -f8"
expect_fail "locate bad lines numbered" 2 "line 3: expected \"\[NAME\] NORTH EAST \[HEIGHT\] \[CODE\]\", got 'abc 1'" \
  sh -c "printf '# points\n6543576.1994 1234830.4539\nabc 1\n1 2 3 4 5 6\n6543576.1994 1234830.4539\n' | '$TOOL' road locate $MAIN"
expect_err "locate wrong field count numbered" "line 4: expected \"\[NAME\] NORTH EAST \[HEIGHT\] \[CODE\]\", got '1 2 3 4 5 6'" \
  sh -c "printf '# points\n6543576.1994 1234830.4539\nabc 1\n1 2 3 4 5 6\n6543576.1994 1234830.4539\n' | '$TOOL' road locate $MAIN"
expect_out "locate good lines still answered (and the header)" "3" \
  sh -c "printf '# points\n6543576.1994 1234830.4539\nabc 1\n1 2 3 4 5 6\n6543576.1994 1234830.4539\n' | '$TOOL' road locate $MAIN | wc -l"
expect_status "locate missing input file" 2 "$TOOL" road locate $MAIN --input "$TMP/none.txt"
expect_status "locate one number" 2 "$TOOL" road locate $MAIN 6543576.1994

# Sample
expect_status "sample needs a deviation" 2 "$TOOL" road sample $MAIN
expect_status "sample deviation too small" 2 "$TOOL" road sample $MAIN --deviation 0.00001
"$TOOL" road sample $MAIN --deviation 0.01 --csv > "$TMP/centre.csv"
expect_out "sample starts at the start" "1000.000000000,0.000000000,6543210.482000000,1234567.915000000,48.200000000" \
  sed -n 2p "$TMP/centre.csv"
expect_out "offset line at the offset" "3.000000000" \
  sh -c "'$TOOL' road sample $MAIN --deviation 0.01 --offset 3 --csv | tail -n +2 | cut -d, -f2 | sort -u"
printf '# station offset\n1+300 2\n1+500 x\n1+700 6\n2+000 2\n' > "$TMP/table.txt"
expect_fail "table bad line numbered" 2 "line 3: .*'x' is not a number" "$TOOL" road sample $MAIN --deviation 0.05 --offsets "$TMP/table.txt"
expect_out "table line still sampled" "1300.000000000,2.000000000" \
  sh -c "'$TOOL' road sample $MAIN --deviation 0.05 --offsets '$TMP/table.txt' --csv 2>/dev/null | sed -n 2p | cut -d, -f1,2"
expect_status "offset and table together" 2 "$TOOL" road sample $MAIN --deviation 0.05 --offset 1 --offsets "$TMP/table.txt"
expect_status "unknown format" 2 "$TOOL" road sample $MAIN --deviation 0.05 --format kml

# A line of separators only (",") once ended in a segmentation fault: it reads as a blank line.
expect_out "stakeout: a line of separators only is blank" "1+100.00" \
  sh -c "printf ',\\n;;\\n1100\\n' | '$TOOL' road stakeout $MAIN | sed 1d | cut -c1-8"
expect_status "stakeout: separators only, no station" 0 sh -c "printf ',\\n' | '$TOOL' road stakeout $MAIN"
expect_status "locate: separators only, no point" 0 sh -c "printf ',,,\\n' | '$TOOL' road locate $MAIN"

# 1e300 reached a float-to-int conversion (undefined): refused as a station, on the command line
# and by line.
expect_fail "stakeout --station 1e300 is refused" 2 "'1e300' is not a station" "$TOOL" road stakeout $MAIN --station 1e300
expect_err "stakeout: a 1e300 line is refused by line" "line 1: .*1e300" sh -c "echo 1e300 | '$TOOL' road stakeout $MAIN"

# A 200 MB input line made `road locate` hold 787 MB and echo the line: lines over 1 MB are
# refused by line, not held, and the other lines still run (their CSV rows stay aligned).
head -c 2000000 /dev/zero | tr '\0' 7 > "$TMP/long-line"
{ echo "1100 0"; cat "$TMP/long-line"; echo; echo "1110 0"; } > "$TMP/stakeout-long.txt"
expect_err "stakeout: a 2 MB line is refused by line" "line 2: the line is longer than 1 MB" \
  sh -c "'$TOOL' road stakeout $MAIN < '$TMP/stakeout-long.txt'"
expect_out "stakeout: the lines around a 2 MB line still run" "2" \
  sh -c "'$TOOL' road stakeout $MAIN < '$TMP/stakeout-long.txt' 2>/dev/null | sed 1d | wc -l; true"
{ echo "6543480 1234740"; cat "$TMP/long-line"; echo; echo "6543700 1235010"; } > "$TMP/locate-long.txt"
expect_out "locate --csv: a 2 MB line keeps its row" "1,ok 2,the line is longer than 1 MB 3,ok" \
  sh -c "'$TOOL' road locate $MAIN --csv --input '$TMP/locate-long.txt' 2>/dev/null | sed 1d | awk -F, '{print \$2 \",\" \$NF}' | tr '\n' ' ' | sed 's/ \$//'; true"

finish
