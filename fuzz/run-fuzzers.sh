#!/usr/bin/env bash
# Runs every fuzz target of a built fuzz tree for SECONDS each, starting from
# the seeds in fuzz/corpus/<target> and growing a working corpus in the
# build tree. Stops at the first finding (the input is kept in
# <build>/fuzz-findings) and prints the executions per second of each target.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
BUILD=$1
SECONDS_EACH=$2
shift 2
SEEDS="$(cd "$(dirname "$0")" && pwd)/corpus"
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(document legacy_document receiver_link kovoctl_json
                                     control_dispatcher telnet_codec rigctl_protocol)
mkdir -p "$BUILD/fuzz-findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

summary=()
for t in "${TARGETS[@]}"; do
  work="$BUILD/fuzz-corpus/$t"
  mkdir -p "$work"
  log="$BUILD/fuzz-findings/$t.log"
  echo "fuzz_$t: ${SECONDS_EACH} s"
  if ! "$BUILD/fuzz/fuzz_$t" "$work" "$SEEDS/$t" -max_total_time="$SECONDS_EACH" \
       -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$BUILD/fuzz-findings/$t-" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t found a fault; the input is in $BUILD/fuzz-findings/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  summary+=("$(printf '%-20s %10s runs %8s/s' "$t" "$runs" "$rate")")
done
printf '%s\n' "${summary[@]}"
