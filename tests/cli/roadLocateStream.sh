#!/usr/bin/env bash
# fieldcore road locate on a stream of millions of points: five million points through a pipe on
# two threads answer exactly as on one, in input order, in the memory of a small run; --threads 0
# uses every core; a line over 1 MB at the very end of the input is reported.
TOOL=$1
SRC=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
source "$(dirname "$0")/lib.sh"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
MAIN=$TMP/main.xml
sed '/<Alignment name="Ramp A1"/,/<\/Alignment>/d' "$SRC/examples/exampleRoad.xml" >"$MAIN"

# N points spread over the example road's surroundings (integer arithmetic: the same digits
# from any awk).
points() {
  awk -v count="$1" 'BEGIN {
    for (i = 0; i < count; ++i)
      printf "%d.%03d %d.%03d %d.%02d\n", 6543200 + (i * 7919) % 1200, (i * 131) % 1000,
             1234200 + (i * 104729) % 1700, (i * 37) % 1000, 40 + i % 30, i % 100
  }'
}

# Locates the points of `points COUNT` through a pipe on THREADS threads; the MD5 of the CSV
# goes to $TMP/COUNT-THREADS.md5, the peak memory (KB) to .mem, the rows out of input order to
# .order.
run() {
  local count=$1 threads=$2 out=$TMP/$1-$2
  points "$count" |
    /usr/bin/time -o "$out.mem" -f %M "$TOOL" road locate "$MAIN" --csv --threads "$threads" --max-distance 100000 |
    awk -F, -v order="$out.order" 'NR > 1 && $2 != NR - 1 {++bad} {print} END {print bad + 0, NR - 1 > order}' |
    md5sum >"$out.md5"
}

# Under a sanitizer the peak memory is the sanitizer's (AddressSanitizer keeps freed blocks in
# quarantine: 502 MB against 79 MB), so there the memory is not compared and fewer points run.
case "${FIELDCORE_SANITIZED:-}" in ""|OFF|FALSE|NO|0) BIG=5000000 ;; *) BIG=500000 ;; esac
run $BIG 2
run $BIG 1
run 50000 2
expect_out "two threads answer as one" "$(cat "$TMP/$BIG-1.md5")" cat "$TMP/$BIG-2.md5"
expect_out "every row in input order" "0 $BIG" cat "$TMP/$BIG-2.order"
if [ $BIG -eq 5000000 ]; then
  big=$(tail -1 "$TMP/5000000-2.mem")
  small=$(tail -1 "$TMP/50000-2.mem")
  if [ -n "$big" ] && [ -n "$small" ] && [ $((big - small)) -le 2048 ]; then _pass
  else _fail "peak memory: 5,000,000 points ${big} KB, 50,000 points ${small} KB"; fi
fi

# --threads 0 (the default) and N give the same answers; outside 0 to 256 is refused.
points 20000 >"$TMP/p.txt"
one=$("$TOOL" road locate "$MAIN" --csv --threads 1 --max-distance 100000 --input "$TMP/p.txt" | md5sum)
expect_out "--threads 0" "$one" bash -c "'$TOOL' road locate '$MAIN' --csv --threads 0 --max-distance 100000 --input '$TMP/p.txt' | md5sum"
expect_out "no --threads" "$one" bash -c "'$TOOL' road locate '$MAIN' --csv --max-distance 100000 --input '$TMP/p.txt' | md5sum"
expect_status "--threads 257" 2 "$TOOL" road locate "$MAIN" --threads 257 --input "$TMP/p.txt"
expect_status "--threads -1" 2 "$TOOL" road locate "$MAIN" --threads -1 --input "$TMP/p.txt"

# A line over 1 MB at the end without its line end was dropped without a word (exit 0).
{ echo "6543600 1234870"; head -c 2000000 /dev/zero | tr '\0' 'y'; } >"$TMP/long.txt"
expect_fail "a long last line" 2 "line 2: the line is longer than 1 MB" "$TOOL" road locate "$MAIN" --input "$TMP/long.txt"

finish
