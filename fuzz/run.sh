#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for SECONDS each on its corpus (fuzz/corpus/NAME, with
# fuzz/NAME.dict when there is one). New inputs go to BUILD/corpus/NAME, findings (the input
# that crashed, leaked or timed out) to BUILD/findings/. Exit status 1 when any fuzzer found
# something; the finding's input is named in the output.
#   usage: fuzz/run.sh BUILD_FUZZ_DIR SECONDS [NAME...]
set -u
build=$1; seconds=$2; shift 2
here="$(cd "$(dirname "$0")" && pwd)"
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(crc16 ini jobHistory textParsers landXml toolLines dictionary registry btConfig)
mkdir -p "$build/findings"
status=0
for name in "${names[@]}"; do
  work="$build/corpus/$name"; mkdir -p "$work"
  dict=(); [ -f "$here/$name.dict" ] && dict=(-dict="$here/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  # The fuzzers write their files to memory where there is a memory file system (syncs are free).
  [ -d /dev/shm ] && [ -z "${FIELDCORE_TEST_TMP:-}" ] && export FIELDCORE_TEST_TMP=/dev/shm
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
       "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=8192 -print_final_stats=1 "${dict[@]}" \
       -artifact_prefix="$build/findings/$name-" "$work" "$here/corpus/$name" \
       > "$build/findings/$name.log" 2>&1; then
    status=1
    echo "FINDING in fuzz_$name:"; grep -E "ERROR|SUMMARY|runtime error|Test unit written|artifact" "$build/findings/$name.log" | head -8
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/findings/$name.log" | tail -1
  fi
done
exit $status
