#!/usr/bin/env bash
# fieldcore tictimer: expiries on the computer's clock (loose bounds: the only timed check),
# counts, repeated --timer, usage errors.
TOOL=$1
source "$(dirname "$0")/lib.sh"

out=$("$TOOL" tictimer --base 100 --timer 7:1000 --for 3500); status=$?
expect_out "exit 0" "0" echo "$status"
expect_out "three expiries of timer 7, then the count" "$(printf '7\n7\n7\ncount 7 3')" \
  sh -c "printf '%s\n' \"\$1\" | sed 's/^[0-9]* 7$/7/'" sh "$out"
# About a second apart: 1000 ms each, within loose bounds (a busy machine delays a scan).
times=$(printf '%s\n' "$out" | grep -v count | cut -d' ' -f1 | tr '\n' ' ')
expect_out "about a second apart" "ok" awk -v t="$times" 'BEGIN { n = split(t, a, " ");
  ok = n == 3 && a[1] >= 950 && a[1] <= 1600;
  for (i = 2; i <= n; i++) { d = a[i] - a[i-1]; if (d < 850 || d > 1600) ok = 0 }
  print ok ? "ok" : "bad: " t }'

expect_out "two timers counted in the order given" "$(printf 'count 2 1\ncount 1 3')" \
  sh -c "'$TOOL' tictimer --base 50 --timer 2:300 --timer 1:100 --for 380 | grep count"
expect_out "a timer that never fires" "count 5 0" "$TOOL" tictimer --base 10 --timer 5:100000 --for 30

expect_status "help" 0 "$TOOL" tictimer --help
expect_out "help explains the rounding" "1" sh -c "'$TOOL' tictimer --help | grep -c '(PERIOD + BASE/2) / BASE'"
expect_out "help says --timer may repeat" "1" sh -c "'$TOOL' tictimer --help | grep -c 'May be given again'"
expect_out "help has its sections" "Options: Examples: Errors: Exit" \
  sh -c "'$TOOL' tictimer --help | grep -o '^Options:\|^Examples:\|^Errors:\|^Exit' | tr '\n' ' ' | sed 's/ \$//'"

expect_status "bad ID:PERIOD" 2 "$TOOL" tictimer --base 100 --timer 7 --for 10
expect_err "bad ID:PERIOD named" "bad --timer '7:x'" "$TOOL" tictimer --base 100 --timer 7:x --for 10
expect_status "negative period" 2 "$TOOL" tictimer --base 100 --timer 7:-5 --for 10
expect_status "period beyond 32 bits" 2 "$TOOL" tictimer --base 100 --timer 7:4294967296 --for 10
expect_err "identifier twice" "timer 7 is given twice" "$TOOL" tictimer --base 100 --timer 7:100 --timer 7:200 --for 10
expect_status "no timer" 2 "$TOOL" tictimer --base 100 --for 10
expect_status "no base" 2 "$TOOL" tictimer --timer 1:100 --for 10
expect_status "no duration" 2 "$TOOL" tictimer --base 100 --timer 1:100
expect_status "unknown option" 2 "$TOOL" tictimer --base 100 --timer 1:100 --for 10 --fast
expect_status "stray argument" 2 "$TOOL" tictimer --base 100 --timer 1:100 --for 10 extra
finish
