#!/usr/bin/env bash
# Writers killed with SIGKILL at random moments: `history write` and `ini set`, 100 trials
# each (fewer when the time budget of about 20 s per writer runs out: sanitizer builds are
# slower). After each kill, one more write must give a job history that checks, and the INI
# file must be the old or the new text, with no temporary file left after the next write.
TOOL=$1
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d "${FIELDCORE_TEST_TMP:-/tmp}/cli-killed-XXXXXX")
trap 'rm -rf "$work"' EXIT
TRIALS=${KILL_TRIALS:-100}
BUDGET=${KILL_BUDGET_SECONDS:-20}
RANDOM=2026  # the same moments on every run

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# Runs "$@" in the background and kills it after a random part of `span` microseconds.
kill_at_random() {
  local span=$1; shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  local wait_us=$(( (RANDOM * 32768 + RANDOM) % (span + 1) ))
  sleep "$(printf '0.%06d' "$wait_us")"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

# ---- history write ----
records="$work/records.txt"
for i in $(seq 1 400); do echo "Point=P$i;North=$((6543000 + i)).125;East=1234$i.5;Code=kerb"; done > "$records"
job="$work/job.xml"
printf 'Job=Kill test\n' | "$TOOL" history write "$job" >/dev/null 2>&1
start=$(now_us); "$TOOL" history write "$work/timing.xml" < "$records" >/dev/null 2>&1
span=$(( $(now_us) - start + 2000 ))
bad=0; trials=0; deadline=$((SECONDS + BUDGET))
while [ "$trials" -lt "$TRIALS" ] && [ "$SECONDS" -lt "$deadline" ]; do
  trials=$((trials + 1))
  # Every fourth trial kills the first period of a new file.
  [ $((trials % 4)) -eq 0 ] && rm -f "$job"
  kill_at_random "$span" "$TOOL" history write "$job" < "$records"
  printf 'After=kill %d\n' "$trials" | "$TOOL" history write "$job" >/dev/null 2>&1
  if ! "$TOOL" history check "$job" >/dev/null 2>&1; then
    bad=$((bad + 1)); cp "$job" "$work/failed-$trials.xml"
    # Start again from a good file so that one failure does not hide the next.
    rm -f "$job"; printf 'Job=Kill test\n' | "$TOOL" history write "$job" >/dev/null 2>&1
  fi
  # Keep the file small: the trials test the end of the file, not its size.
  [ "$(stat -c %s "$job")" -gt 400000 ] && { rm -f "$job"; printf 'Job=Kill test\n' | "$TOOL" history write "$job" >/dev/null 2>&1; }
done
[ "$bad" -eq 0 ] && _pass || _fail "history write: $bad of $trials killed writes left a history that fails its check after one more write"
[ "$trials" -ge 20 ] && _pass || _fail "history write: only $trials trials ran within ${BUDGET}s"
echo "history write: $trials trials"

# ---- ini set ----
ini="$work/settings.ini"
{ printf '; kill test\r\n'; for s in $(seq 1 40); do printf '[Section%d]\r\n' "$s"; for k in $(seq 1 50); do printf 'Key%d=value %d of section %d\r\n' "$k" "$k" "$s"; done; done; } > "$ini"
chmod 640 "$ini"
start=$(now_us); cp "$ini" "$work/timing.ini"; "$TOOL" ini set "$work/timing.ini" Section20 Key7 timing >/dev/null 2>&1
span=$(( $(now_us) - start + 2000 ))
bad=0; trials=0; deadline=$((SECONDS + BUDGET))
while [ "$trials" -lt "$TRIALS" ] && [ "$SECONDS" -lt "$deadline" ]; do
  trials=$((trials + 1))
  cp -p "$ini" "$work/old.ini"
  cp -p "$ini" "$work/new.ini"
  "$TOOL" ini set "$work/new.ini" Section20 Key7 "trial $trials" >/dev/null 2>&1
  kill_at_random "$span" "$TOOL" ini set "$ini" Section20 Key7 "trial $trials"
  if ! cmp -s "$ini" "$work/old.ini" && ! cmp -s "$ini" "$work/new.ini"; then
    bad=$((bad + 1)); cp "$ini" "$work/torn-$trials.ini"; cp "$work/old.ini" "$ini"
  fi
  "$TOOL" ini set "$ini" Section1 After "trial $trials" >/dev/null 2>&1
  left=$(ls -A "$work" | grep -c '^\.fieldcore-new-settings\.ini\.')
  [ "$left" -eq 0 ] || { bad=$((bad + 1)); echo "trial $trials: $left temporary files left" >&2; }
done
[ "$bad" -eq 0 ] && _pass || _fail "ini set: $bad of $trials killed writes left a mixed file or a temporary file"
[ "$(stat -c %a "$ini")" = 640 ] && _pass || _fail "ini set: the permissions changed"
[ "$trials" -ge 20 ] && _pass || _fail "ini set: only $trials trials ran within ${BUDGET}s"
echo "ini set: $trials trials"

finish
