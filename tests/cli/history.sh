#!/usr/bin/env bash
# fieldcore crc16 and fieldcore history on real files.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expect_out "ccitt-false" "29B1" sh -c "printf 123456789 | '$TOOL' crc16"
expect_out "xmodem" "31C3" sh -c "printf 123456789 | '$TOOL' crc16 --start 0"
printf 123456789 > "$work/digits"
printf '' > "$work/empty"
expect_out "files, one line each" "$(printf '29B1\nFFFF')" "$TOOL" crc16 "$work/digits" "$work/empty"
expect_status "missing file" 2 "$TOOL" crc16 "$work/none"
expect_status "bad start" 2 "$TOOL" crc16 --start XYZ "$work/digits"
for bad in -1 +1 0x0x1 10000; do   # -1 was taken as FFFF, +1 and 0x0x1 as 1
  expect_status "start '$bad' refused" 2 "$TOOL" crc16 --start "$bad" "$work/digits"
done
expect_out "start 0x10" "$(printf 123456789 | "$TOOL" crc16 --start 10)" "$TOOL" crc16 --start 0x10 "$work/digits"
expect_status "crc16 help" 0 "$TOOL" crc16 --help

job="$work/job.xml"
expect_status "write new" 0 sh -c "printf 'Job=Road 7;Operator=AB\n' | '$TOOL' history write '$job'"
expect_status "append" 0 sh -c "printf 'Point=P1;Code=<kerb>\n\n# comment\nPoint=P2\n' | '$TOOL' history write '$job'"
expect_out "check ok" "ok: 2 checksums match" "$TOOL" history check "$job"
expect_err "bad record numbered" "line 2: 'oops' is not name=value" \
  sh -c "printf 'A=1\noops\n' | '$TOOL' history write '$job'"
expect_status "still valid after a bad record" 0 "$TOOL" history check "$job"
size=$(stat -c %s "$job")
head -c $((size - 80)) "$job" > "$work/cut.xml"
expect_status "cut file" 1 "$TOOL" history check "$work/cut.xml"
cp "$job" "$work/changed.xml"
printf 'Q' | dd of="$work/changed.xml" bs=1 seek=100 conv=notrunc 2>/dev/null
expect_status "changed byte" 1 "$TOOL" history check "$work/changed.xml"
cmp -s "$job" "$work/job.xml" && _pass
expect_status "not a history" 2 "$TOOL" history check "$work/digits"
expect_status "unreadable" 2 "$TOOL" history check "$work/none.xml"
[ ! -e "$work/none.xml" ] && _pass || _fail "check created a file"
expect_status "no records" 2 sh -c "printf '' | '$TOOL' history write '$work/new.xml'"
# Names the file keeps for itself are refused (the check would fail on them).
expect_err "field named CheckSum" "line 1: 'CheckSum' is a name the job history keeps" \
  sh -c "printf 'CheckSum=1\n' | '$TOOL' history write '$work/reserved.xml'"
expect_status "entry named OstrandJobHistory" 2 sh -c "printf 'A=1\n' | '$TOOL' history write --element OstrandJobHistory '$work/reserved.xml'"
[ ! -e "$work/reserved.xml" ] && _pass || _fail "a refused record made a file"

# Forty writers at once take turns: the file checks.
for i in $(seq 1 40); do printf 'Writer=%d\n' "$i" | "$TOOL" history write "$work/busy.xml" & done; wait
expect_out "40 concurrent writers" "ok: 40 checksums match" "$TOOL" history check "$work/busy.xml"

# A write stopped midway: the next write cuts it back and says so.
cp "$job" "$work/torn.xml"
size=$(stat -c %s "$work/torn.xml")
printf ' \0<\0E\0n\0' | dd of="$work/torn.xml" bs=1 seek=$((size - 44)) conv=notrunc 2>/dev/null
expect_status "torn file fails" 1 "$TOOL" history check "$work/torn.xml"
expect_err "the next write says what it cut" "unfinished earlier write was cut" \
  sh -c "printf 'A=1\n' | '$TOOL' history write '$work/torn.xml'"
expect_status "and the file checks again" 0 "$TOOL" history check "$work/torn.xml"

# A file that is not a job history is not appended to (an 8-bit 'x' got an entry and exit 0).
printf 'x' >"$work/notes.txt"
expect_fail "write to a foreign file" 2 "not a job history" sh -c "printf 'A=1\\n' | '$TOOL' history write '$work/notes.txt'"
expect_out "which is left as it was" "x" cat "$work/notes.txt"
: >"$work/empty.xml"
expect_status "an empty file is a new history" 0 sh -c "printf 'A=1\\n' | '$TOOL' history write '$work/empty.xml'"

expect_status "history help" 0 "$TOOL" history --help

finish
