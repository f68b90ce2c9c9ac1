#!/usr/bin/env bash
# Runs one fuzz target for KOVO_FUZZ_SECONDS (20 unless set), starting from
# the seeds in fuzz/corpus/<target> and growing a working corpus in the build
# tree. Fails on a finding and keeps the input in <build>/fuzz-findings.
# Appends the executions and executions per second to
# <build>/fuzz-findings/summary.txt.
# Usage: run-fuzzer.sh BUILD_DIR TARGET
set -euo pipefail
BUILD=$1
TARGET=$2
SECONDS_EACH=${KOVO_FUZZ_SECONDS:-20}
SEEDS="$(cd "$(dirname "$0")" && pwd)/corpus/$TARGET"
work="$BUILD/fuzz-corpus/$TARGET"
findings="$BUILD/fuzz-findings"
mkdir -p "$work" "$findings"
log="$findings/$TARGET.log"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if ! "$BUILD/fuzz/fuzz_$TARGET" "$work" "$SEEDS" -max_total_time="$SECONDS_EACH" \
     -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$findings/$TARGET-" >"$log" 2>&1; then
  tail -n 80 "$log"
  echo "fuzz_$TARGET found a fault; the input is in $findings/" >&2
  exit 1
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
line=$(printf '%-20s %4s s %10s runs %8s/s' "$TARGET" "$SECONDS_EACH" "$runs" "$rate")
echo "$line" >>"$findings/summary.txt"
echo "$line"
