#!/usr/bin/env bash
# Figures of the Hamlib network server, against the program in demo mode:
#  - get_freq round trips per second through the Hamlib network client
#    (rigctl -m 2): the time of one run with 1001 "f" commands (read from its standard input) less one run
#    with a single "f", per command; median of five such pairs;
#  - the program's processor time over 20 s without a client and with one
#    client asking for the frequency ten times a second.
# Run: bench/rigctl_figures.sh [build dir]
set -euo pipefail
BUILD=${1:-build}
PORT=${KOVO_RIGCTL_PORT:-45700}
export QT_QPA_PLATFORM=offscreen
HOME_DIR=$(mktemp -d)
HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR" XDG_DATA_HOME="$HOME_DIR/data" "$BUILD/src/app/kovo3000" --demo --rigctl-port "$PORT" >/dev/null 2>&1 &
PID=$!
trap 'kill $PID 2>/dev/null; wait $PID 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
sleep 8 # the demo document is read and the scan starts five seconds on
# Caching in the client is off: every "f" goes over the network.
RIG=(rigctl -m 2 -r "127.0.0.1:$PORT" -C cache_timeout=0)
many=$(printf 'f\n%.0s' $(seq 1001))

now() { date +%s.%N; }
rates=()
for _ in 1 2 3 4 5; do
  t0=$(now); "${RIG[@]}" f >/dev/null; t1=$(now)
  "${RIG[@]}" - <<<"$many" >/dev/null; t2=$(now)
  rates+=("$(echo "1000 / (($t2 - $t1) - ($t1 - $t0))" | bc -l)")
done
median=$(printf '%s\n' "${rates[@]}" | sort -g | sed -n 3p)
printf 'get_freq round trips per second (median of 5 x 1000): %.0f\n' "$median"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$PID/stat"; }
HZ=$(getconf CLK_TCK)
measure() { # seconds -> percent of one core
  local a b; a=$(cpu_ticks); sleep "$1"; b=$(cpu_ticks)
  echo "100 * ($b - $a) / $HZ / $1" | bc -l
}
idle=$(measure 20)
( while :; do echo f; sleep 0.1; done ) | "${RIG[@]}" - >/dev/null 2>&1 &
POLLER=$!
sleep 1
polled=$(measure 20)
kill $POLLER 2>/dev/null || true
printf 'program CPU, scanning, no client: %.2f %%\n' "$idle"
printf 'program CPU, scanning, a client polling f 10/s: %.2f %% (added %.2f %%)\n' "$polled" \
  "$(echo "$polled - $idle" | bc -l)"
