#!/usr/bin/env bash
# fieldcore beacons: the example listing as text and CSV, stdin, a location that cannot be
# read, files that cannot be opened, usage errors.
TOOL=$1
SRC=$2
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-beacons-XXXXXX")
trap 'rm -rf "$work"' EXIT
example="$SRC/examples/beacons.txt"

expect_status "--help" 0 "$TOOL" beacons --help
expect_out "help layout" "5" sh -c "'$TOOL' beacons --help | grep -c -E '^(usage:|Options:|Examples:|Errors:|Exit status:)'"
expect_out "listed in the overview" "1" sh -c "'$TOOL' --help | grep -c '^  beacons '"

expect_out "the example listing" "$(cat <<'OUT'
"Cape Henlopen, DE"  country "USA"  operational yes  frequency 298  rate 200  latitude 38.783333  longitude -75.093333
"Sandy Hook, NJ"  country "USA"  operational yes  frequency 286  rate 200  latitude 40.471667  longitude -74.011667
"Annapolis, MD"  country "USA"  operational yes  frequency 301  rate 100  latitude 39.016667  longitude -76.608333
"Wiarton, ON"  country "Canada"  operational yes  frequency 286  rate 200  latitude 44.745000  longitude -81.108333
"Rivière-du-Loup, QC"  country "Canada"  operational yes  frequency 300.5  rate 200  latitude 47.761667  longitude -69.606667
OUT
)" "$TOOL" beacons "$example"

# Full precision: the minutes are single precision (47.7616666793... for 45.7'), the rest exact.
expect_out "the example as CSV" "$(cat <<'OUT'
name,country,operational,frequency,rate,latitude,longitude,status
"Cape Henlopen, DE",USA,yes,298,200,38.78333333333333,-75.09333333174388,ok
"Sandy Hook, NJ",USA,yes,286,200,40.47166665395101,-74.01166666646799,ok
"Annapolis, MD",USA,yes,301,100,39.016666666666666,-76.60833333333333,ok
"Wiarton, ON",Canada,yes,286,200,44.74500001271566,-81.10833333333333,ok
"Rivière-du-Loup, QC",Canada,yes,300.5,200,47.76166667938232,-69.60666669209799,ok
OUT
)" "$TOOL" beacons --csv "$example"
expect_out "stdin" "5" sh -c "'$TOOL' beacons - < '$example' | wc -l | tr -d ' '"
expect_out "relative path" "5" sh -c "cd '$SRC/examples' && '$TOOL' beacons beacons.txt | wc -l | tr -d ' '"

# A location that cannot be read: listed, flagged, reported, exit 1.
printf 'Name: Good\nAntenna Location: 45 30.0 N;73 35.5 W\nStatus:Operational\nName: Bad, "quoted"\nAntenna Location: north\nTransmission Frequency: 0.1\n' > "$work/partial.txt"
out=$("$TOOL" beacons --csv "$work/partial.txt" 2>"$work/err"); status=$?
[ "$status" -eq 1 ] && [ "$out" = 'name,country,operational,frequency,rate,latitude,longitude,status
Good,USA,no,0,0,45.5,-73.59166666666667,ok
"Bad, ""quoted""",USA,no,0.10000000149011612,0,,,no position' ] \
  && grep -q "^fieldcore beacons: beacon 2 (Bad, \"quoted\"): the antenna location cannot be read or names no place: 'north'" "$work/err" \
  && _pass || _fail "no position: status $status, out [$out], err [$(cat "$work/err")]"
out=$("$TOOL" beacons "$work/partial.txt" 2>/dev/null); status=$?
[ "$status" -eq 1 ] && [ "$out" = '"Good"  country "USA"  operational no  frequency 0  rate 0  latitude 45.500000  longitude -73.591667
"Bad, "quoted""  country "USA"  operational no  frequency 0.1  rate 0  latitude -  longitude -' ] \
  && _pass || _fail "no position as text: status $status, out [$out]"

# A UTF-8 listing: its degree sign reads as two characters and the location does not read.
printf 'Name: U\nAntenna Location: 45\302\26030.0'"'"' N;73\302\26035.5'"'"' W\n' > "$work/utf8.txt"
expect_out "UTF-8 degree sign" "U,USA,no,0,0,,,no position" sh -c "'$TOOL' beacons --csv '$work/utf8.txt' 2>/dev/null | tail -1"
expect_status "UTF-8 degree sign exits 1" 1 "$TOOL" beacons "$work/utf8.txt"

: > "$work/empty.txt"
expect_out "an empty listing" "name,country,operational,frequency,rate,latitude,longitude,status" "$TOOL" beacons --csv "$work/empty.txt"
expect_status "missing file" 2 "$TOOL" beacons "$work/none.txt"
expect_err "missing file is named, with the reason" "^fieldcore beacons: cannot read '.*none.txt': No such file or directory" "$TOOL" beacons "$work/none.txt"
expect_status "a folder" 2 "$TOOL" beacons "$work"
expect_status "no FILE" 2 "$TOOL" beacons
expect_status "two FILEs" 2 "$TOOL" beacons "$example" "$example"
expect_status "unknown option" 2 "$TOOL" beacons "$example" --tsv
# A location read in full that names no place (latitude 95) was listed with status ok, exit 0.
printf 'Name: B1\nAntenna Location: 95 30.0 N;73 35.5 W\n' >"$work/lat95.txt"
expect_fail "latitude 95 names no place" 1 "beacon 1 (B1).*names no place" "$TOOL" beacons "$work/lat95.txt"
expect_out "its row says so" "B1,USA,no,0,0,,,no position" sh -c "'$TOOL' beacons '$work/lat95.txt' --csv 2>/dev/null | tail -n 1; true"
finish
