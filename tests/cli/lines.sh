#!/usr/bin/env bash
# fieldcore lines: 8-bit and wide files, line-end rules, --count, errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-lines-XXXXXX")
trap 'rm -rf "$work"' EXIT

printf 'a\r\n\r\nb' > "$work/crlf.txt"
printf 'a\nb\n' > "$work/lf.txt"
printf 'caf\351\r\n' > "$work/cp1252.txt"
: > "$work/empty.txt"
printf 'a\0\r\0\n\0\075\330\0\336b\0' > "$work/wide.txt"   # "a" CR LF, U+1F600 as a pair, "b"

expect_out "CR LF with an empty line" "$(printf '0\ta\n1\t\n2\tb')" "$TOOL" lines "$work/crlf.txt"
expect_out "LF" "$(printf '0\ta\n1\tb')" "$TOOL" lines "$work/lf.txt"
expect_out "code page to UTF-8" "$(printf '0\tcaf\303\251')" "$TOOL" lines "$work/cp1252.txt"
expect_out "count" "3" "$TOOL" lines --count "$work/crlf.txt"
expect_out "empty file" "0" "$TOOL" lines "$work/empty.txt" --count
expect_out "wide file" "$(printf '0\ta\n1\t\360\237\230\200b')" "$TOOL" lines --wide "$work/wide.txt"
expect_out "wide count" "2" "$TOOL" lines --wide --count "$work/wide.txt"

expect_status "missing file" 2 "$TOOL" lines "$work/missing.txt"
expect_err "missing file named, with the reason" "cannot read '.*missing.txt': No such file or directory" "$TOOL" lines "$work/missing.txt"
expect_err "a folder, with the reason" "cannot read '$work': is a directory" "$TOOL" lines "$work"
expect_status "a folder" 2 "$TOOL" lines "$work"
expect_status "no file" 2 "$TOOL" lines
expect_status "two files" 2 "$TOOL" lines "$work/lf.txt" "$work/lf.txt"
expect_status "unknown option" 2 "$TOOL" lines --fast "$work/lf.txt"
expect_status "help" 0 "$TOOL" lines --help
expect_out "help has its sections" "Options: Examples: Errors: Exit" \
  sh -c "'$TOOL' lines --help | grep -o '^Options:\|^Examples:\|^Errors:\|^Exit' | tr '\n' ' ' | sed 's/ \$//'"
finish
