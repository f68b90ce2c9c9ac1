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
if [ -z "${KOVO_BENCH_PRIVATE_BUS:-}" ]; then
  KOVO_BENCH_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-30}
ROUNDS=${3:-3}
tmp=$(mktemp -d)
sim_pid= pid=
stop_all() {
  # The log made the document modified: the program would ask before closing.
  [ -n "$pid" ] && { kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; } || true
  [ -n "$sim_pid" ] && { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; } || true
  pid= sim_pid=
}
trap 'stop_all; rm -rf "$tmp"' EXIT

# 100 channels 25 kHz apart in bank 1, linked; memory scan, logging on,
# stops limited to a pause of 1 s, 1 s delay.
python3 - >"$tmp/doc.json" <<'PY'
import json
channels = [{"frequency": 145000000 + 25000 * i, "bankMask": 2} for i in range(100)]
print(json.dumps({"controlParams": {"p08": 0, "p80": 1, "p28": 1, "p34": 1, "p38": 1},
                  "memoryBanks": [{}, {"linkFlags": [1]}], "channels": channels}))
PY
"$BUILD/tools/kovoctl/kovoctl" pack "$tmp/doc.json" "$tmp/scan.kv5" >/dev/null
# Two channels always on the air; the pause (1 s) sends the scan on from
# each, so every round of the 100 channels has two hits, the same number in
# every run. (Signals that come and go make the count of stops, and with it
# the rate, differ by chance from run to run far more than the history could.)
printf '145.500000 NFM 12\n146.750000 NFM 12\n' >"$tmp/signals.plan"

frequency_commands() { grep -cE ' RX +"[0-9]+\.[0-9]*\\r"' "$tmp/transcript.txt" || true; }

measure() { # on|off
  local mode=$1
  rm -f "$tmp/transcript.txt"
  "$BUILD/tools/receiver-sim/receiver-sim" --baud 9600 --plan "$tmp/signals.plan" \
    --log "$tmp/transcript.txt" >"$tmp/sim.out" &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$tmp/sim.out" ] && break; sleep 0.1; done
  [ -s "$tmp/sim.out" ] || { echo "the receiver simulator did not start" >&2; exit 1; }
  mkdir -p "$tmp/config/Fennelworks"
  printf '[Hardware%%20Setting]\nCommSpeed=1\nCom1Device=%s\n[Soft%%20Setting]\nHistory=%d\n' \
    "$(head -1 "$tmp/sim.out")" "$([ "$mode" = on ] && echo 1 || echo 0)" \
    >"$tmp/config/Fennelworks/KOVO3000.ini"
  rm -rf "$tmp/data"
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config" \
    XDG_DATA_HOME="$tmp/data" "$BUILD/src/app/kovo3000" "$tmp/scan.kv5" >/dev/null 2>"$tmp/program.err" &
  pid=$!
  sleep 8 # splash, document, probe
  local c0 c1 t0 t1 hits=0
  c0=$(frequency_commands); t0=$(date +%s.%N)
  sleep "$SECONDS_TO_MEASURE"
  c1=$(frequency_commands); t1=$(date +%s.%N)
  local store="$tmp/data/Fennelworks/KOVO3000/history.sqlite"
  [ -f "$store" ] && hits=$(sqlite3 "$store" 'SELECT count(*) FROM hits WHERE imported = 0')
  awk -v c=$((c1 - c0)) -v t0="$t0" -v t1="$t1" -v m="$mode" -v h="$hits" \
    'BEGIN { printf "history %-3s %.1f channels/s (%d channels in %.1f s, %d hits in the store)\n", m, c / (t1 - t0), c, t1 - t0, h }'
  awk -v c=$((c1 - c0)) -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.3f\n", c / (t1 - t0) }' \
    >"$tmp/rate.$mode"
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
