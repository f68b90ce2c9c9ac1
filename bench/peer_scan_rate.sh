#!/usr/bin/env bash
# Memory-scan rate with the companion recorder linked, first answering and
# then suspended (SIGSTOP, as Ctrl+Z does): a peer that stops answering must
# not slow the scan.
#   bench/peer_scan_rate.sh [build-dir] [seconds]
# The program scans 100 channels at 9,600 bit/s against the receiver
# simulator (its own process); signals come and go on ten of them, so the
# squelch opens and closes and entries are logged, each a message to the
# recorder (the recorder-stub stand-in). Channels per second are the
# frequency commands in the simulator's transcript over the measured time,
# which starts the moment the recorder is suspended. Everything runs on a
# session bus of its own.
set -euo pipefail
. "$(dirname "$0")/scan_rate_common.sh"
on_private_bus "$@"
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-30}
tmp=$(mktemp -d)
sim_pid= pid= stub_pid=
stop_all() {
  [ -n "$stub_pid" ] && { kill -CONT "$stub_pid" 2>/dev/null; kill "$stub_pid" 2>/dev/null; wait "$stub_pid" 2>/dev/null; } || true
  stub_pid=
  stop_program_and_sim
}
trap 'stop_all; rm -rf "$tmp"' EXIT

pack_scan_document
# Every tenth channel, on the air 0.7 s of every 3 s.
for i in $(seq 0 9); do
  hz=$((145000000 + 250000 * i))
  printf '%d.%06d NFM 12 on=700 off=2300 phase=%d\n' $((hz / 1000000)) $((hz % 1000000)) $((i * 300))
done >"$tmp/signals.plan"


measure() { # running|suspended
  local mode=$1
  start_receiver_sim "$tmp/signals.plan"
  write_program_settings
  "$BUILD/tools/recorder-stub/recorder-stub" >"$tmp/stub.out" &
  stub_pid=$!
  start_program
  sleep 8 # splash, document, probe, link with the recorder
  grep -q '^BROMControl 1 ' "$tmp/stub.out" || { echo "the recorder did not link" >&2; exit 1; }
  [ "$mode" = suspended ] && kill -STOP "$stub_pid"
  local c0 c1 t0 t1 s0 s1
  s0=$(wc -l <"$tmp/stub.out")
  c0=$(frequency_commands); t0=$(date +%s.%N)
  sleep "$SECONDS_TO_MEASURE"
  c1=$(frequency_commands); t1=$(date +%s.%N)
  [ "$mode" = suspended ] && kill -CONT "$stub_pid" && sleep 1
  s1=$(wc -l <"$tmp/stub.out")
  awk -v c=$((c1 - c0)) -v t0="$t0" -v t1="$t1" -v m="$mode" -v s=$((s1 - s0)) \
    'BEGIN { printf "recorder %-9s %.1f channels/s (%d channels in %.1f s, %d messages to the recorder)\n", m, c / (t1 - t0), c, t1 - t0, s }'
  channels_per_second $((c1 - c0)) "$t0" "$t1" >"$tmp/rate.$mode"
  stop_all
}

measure running
measure suspended
awk -v a="$(cat "$tmp/rate.running")" -v b="$(cat "$tmp/rate.suspended")" \
  'BEGIN { printf "suspended / running: %.3f\n", (a > 0 ? b / a : 0) }'
