#!/usr/bin/env bash
# Memory-scan rate with the hit history on, against off ("History" 1 / 0).
#   bench/history_scan_rate.sh [build-dir] [seconds] [rounds]
# Each round measures off, then on; the figure is the mean of the rounds'
# ratios, so that a load that comes and goes on the machine weighs on both.
# The program scans 100 channels at 9,600 bit/s against the receiver
# simulator (its own process); two of them are busy, so the scan stops on
# every round and every stop is a hit written to the history (the count is
# printed: a figure without hits measures nothing). Channels
# per second are the frequency commands in the simulator's transcript over
# the measured time. Prints both rates, their ratio, and the hits written.
set -euo pipefail
. "$(dirname "$0")/scan_rate_common.sh"
on_private_bus "$@"
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-30}
ROUNDS=${3:-3}
tmp=$(mktemp -d)
sim_pid= pid=
stop_all() { stop_program_and_sim; }
trap 'stop_all; rm -rf "$tmp"' EXIT

# 100 channels 25 kHz apart in bank 1, linked; memory scan, logging on,
# stops limited to a pause of 1 s, 1 s delay.
pack_scan_document '"p28": 1, "p34": 1, "p38": 1'
# Two channels always on the air; the pause (1 s) sends the scan on from
# each, so every round of the 100 channels has two hits, the same number in
# every run. (Signals that come and go make the count of stops, and with it
# the rate, differ by chance from run to run far more than the history could.)
printf '145.500000 NFM 12\n146.750000 NFM 12\n' >"$tmp/signals.plan"

measure() { # on|off
  local mode=$1
  start_receiver_sim "$tmp/signals.plan"
  write_program_settings "History=$([ "$mode" = on ] && echo 1 || echo 0)"
  rm -rf "$tmp/data"
  start_program
  sleep 8 # splash, document, probe
  local c0 c1 t0 t1 hits=0
  c0=$(frequency_commands); t0=$(date +%s.%N)
  sleep "$SECONDS_TO_MEASURE"
  c1=$(frequency_commands); t1=$(date +%s.%N)
  local store="$tmp/data/Fennelworks/KOVO3000/history.sqlite"
  [ -f "$store" ] && hits=$(sqlite3 "$store" 'SELECT count(*) FROM hits WHERE imported = 0')
  awk -v c=$((c1 - c0)) -v t0="$t0" -v t1="$t1" -v m="$mode" -v h="$hits" \
    'BEGIN { printf "history %-3s %.1f channels/s (%d channels in %.1f s, %d hits in the store)\n", m, c / (t1 - t0), c, t1 - t0, h }'
  channels_per_second $((c1 - c0)) "$t0" "$t1" >"$tmp/rate.$mode"
  stop_all
  if [ "$mode" = on ] && [ "$hits" -eq 0 ]; then
    echo "no hit was written with history on: the figure would measure nothing" >&2
    cat "$tmp/program.err" "$tmp/sim.out" >&2
    exit 1
  fi
}

: >"$tmp/ratios"
for round in $(seq "$ROUNDS"); do
  measure off
  measure on
  awk -v a="$(cat "$tmp/rate.off")" -v b="$(cat "$tmp/rate.on")" -v r="$round" \
    'BEGIN { printf "round %d: history on / off %.3f\n", r, (a > 0 ? b / a : 0) }' |
    tee -a "$tmp/ratios"
done
awk '{ s += $NF; n++ } END { printf "mean history on / off over %d rounds: %.3f\n", n, s / n }' \
  "$tmp/ratios"
