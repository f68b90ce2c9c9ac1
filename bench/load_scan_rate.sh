#!/usr/bin/env bash
# Memory-scan rate and resident memory of the program while its servers are
# attacked or busy:
#   bench/load_scan_rate.sh [build-dir] [seconds]
# The program scans 100 channels at 9,600 bit/s against the receiver
# simulator (its own process, no signals on the air), with the web remote and the Hamlib network
# server on. Each phase measures channels per second (the frequency commands
# in the simulator's transcript) over SECONDS (20 unless told): quiet; one
# web page with the token flooding tiny commands as fast as its socket
# allows without reading; 1,100 silent connections to the web remote; 15
# Hamlib clients asking for the frequency without pause. Resident memory is
# printed before and after each phase (after: 3 s after the peers left),
# with the program's processor share; the machine's load average at the end
# says how far the figures can be trusted on a shared machine.
set -euo pipefail
. "$(dirname "$0")/scan_rate_common.sh"
on_private_bus "$@"
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-20}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PEERS="$ROOT/bench/load_peers.py"
WEB_PORT=${KOVO_WEB_PORT:-45811}
RIG_PORT=${KOVO_RIGCTL_PORT:-45812}
TOKEN=$(printf 'b%.0s' $(seq 64))
tmp=$(mktemp -d)
sim_pid= pid=
stop_all() { stop_program_and_sim; }
trap 'stop_all; rm -rf "$tmp"' EXIT

pack_scan_document

# No signals anywhere: the scan never stops, so its rate is the line's.
: >"$tmp/quiet.plan"
start_receiver_sim "$tmp/quiet.plan"
write_program_settings "WebRemoteToken=$TOKEN"
start_program --web-port "$WEB_PORT" --rigctl-port "$RIG_PORT"
sleep 8 # splash, document, probe, scan under way

rss_mib() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
HZ=$(getconf CLK_TCK)

phase() { # name, then the peer's command (none: quiet)
  local name=$1; shift
  local before c0 c1 t0 t1 k0 k1 peer=
  before=$(rss_mib)
  [ $# -gt 0 ] && { python3 "$PEERS" "$@" & peer=$!; sleep 1; }
  c0=$(frequency_commands); t0=$(date +%s.%N); k0=$(cpu_ticks)
  sleep "$SECONDS_TO_MEASURE"
  c1=$(frequency_commands); t1=$(date +%s.%N); k1=$(cpu_ticks)
  [ -n "$peer" ] && wait "$peer"
  sleep 3
  kill -0 "$pid" 2>/dev/null || { echo "the program ended during: $name" >&2; exit 1; }
  awk -v c=$((c1 - c0)) -v t0="$t0" -v t1="$t1" -v n="$name" -v b="$before" -v a="$(rss_mib)" \
    -v k=$((k1 - k0)) -v hz="$HZ" \
    'BEGIN { printf "%-32s %5.1f channels/s   program CPU %5.1f %%   resident %6.1f -> %6.1f MiB\n",
             n, c / (t1 - t0), 100 * k / hz / (t1 - t0), b, a }'
  channels_per_second $((c1 - c0)) "$t0" "$t1" >>"$tmp/rates"
}

peer_seconds=$((SECONDS_TO_MEASURE + 1))
phase "quiet"
phase "one page flooding" flood-page "$WEB_PORT" "$TOKEN" "$peer_seconds"
phase "1,100 silent web connections" idle "$WEB_PORT" 1100 "$peer_seconds"
phase "15 Hamlib clients flooding" rigctl-flood "$RIG_PORT" 15 "$peer_seconds"
phase "quiet again"
awk 'NR == 1 { q = $1 } NR > 1 && NR < 5 { printf "%s / quiet: %.2f\n", \
       (NR == 2 ? "flooding page" : NR == 3 ? "1,100 silent connections" : "15 Hamlib floods"), \
       (q > 0 ? $1 / q : 0) }' "$tmp/rates"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
