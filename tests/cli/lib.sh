# Shared checks for the command-line tests; sourced by tests/cli/<name>.sh.
# Usage inside a test:  TOOL=$1; source "$(dirname "$0")/lib.sh"
#   expect_out    NAME EXPECTED CMD...   stdout equals EXPECTED and exit status is 0
#   expect_status NAME STATUS CMD...     exit status equals STATUS
#   expect_err    NAME PATTERN CMD...    stderr matches the grep pattern
#   expect_fail   NAME STATUS PATTERN CMD...   both, from one run
#   finish                               prints "N passed, M failed" and sets the exit status
passed=0
failed=0
_fail() { failed=$((failed + 1)); echo "FAIL: $*" >&2; }
_pass() { passed=$((passed + 1)); }

expect_out() {
  local name=$1 expected=$2; shift 2
  local out status
  out=$("$@" 2>/tmp/fieldcore_cli_err.$$); status=$?
  if [ "$status" -ne 0 ]; then _fail "$name: exit $status ($(cat /tmp/fieldcore_cli_err.$$))";
  elif [ "$out" != "$expected" ]; then _fail "$name: got [$out] expected [$expected]";
  else _pass; fi
}

expect_status() {
  local name=$1 expected=$2; shift 2
  "$@" >/dev/null 2>&1 </dev/null; local status=$?
  if [ "$status" -ne "$expected" ]; then _fail "$name: exit $status, expected $expected"; else _pass; fi
}

expect_err() {
  local name=$1 pattern=$2; shift 2
  local err
  err=$("$@" 2>&1 >/dev/null </dev/null)
  if printf '%s' "$err" | grep -q -e "$pattern"; then _pass; else _fail "$name: stderr [$err] lacks [$pattern]"; fi
}

expect_fail() {
  local name=$1 expected=$2 pattern=$3; shift 3
  local err status
  err=$("$@" 2>&1 >/dev/null </dev/null); status=$?
  if [ "$status" -ne "$expected" ]; then _fail "$name: exit $status, expected $expected ($err)";
  elif printf '%s' "$err" | grep -q -e "$pattern"; then _pass; else _fail "$name: stderr [$err] lacks [$pattern]"; fi
}

finish() {
  rm -f /tmp/fieldcore_cli_err.$$
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
