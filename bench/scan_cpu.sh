#!/usr/bin/env bash
# Processor time of the program while it scans at 9,600 bit/s, with the
# receiver simulator running as its own process (its time is not counted).
#   bench/scan_cpu.sh [build-dir] [seconds] [memory|scope|database]...
# memory: a memory scan over 100 quiet channels; scope: the active band scope
# sweeping; database: the memory scan with the database panel shown on the
# channel view. Each runs the window shown on the offscreen platform, so painting
# is counted; stepping is read from the simulator's transcript.
# KOVO_SCAN_CPU_PERF=FILE records a perf profile of each run to FILE.<mode>.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-30}
shift $(($# < 2 ? $# : 2))
MODES=("$@")
[ ${#MODES[@]} -eq 0 ] && MODES=(memory scope)
tmp=$(mktemp -d)
sim_pid=
pid=
cleanup() {
  [ -n "$pid" ] && kill -INT "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

# 100 channels 25 kHz apart in bank 1, linked; operating mode p08 (0 memory
# scan, 3 active band scope).
document() {
  python3 - "$1" >"$tmp/doc.json" <<'PY'
import json, sys
channels = [{"frequency": 145000000 + 25000 * i, "bankMask": 2} for i in range(100)]
print(json.dumps({"controlParams": {"p08": int(sys.argv[1])},
                  "memoryBanks": [{}, {"linkFlags": [1]}], "channels": channels}))
PY
  "$BUILD/tools/kovoctl/kovoctl" pack "$tmp/doc.json" "$tmp/scan.kv5" >/dev/null
}

measure() { # mode
  local mode=$1 code=0
  [ "$mode" = scope ] && code=3
  document $code
  printf '# nothing on the air\n' >"$tmp/quiet.plan"
  "$BUILD/tools/receiver-sim/receiver-sim" --baud 9600 --plan "$tmp/quiet.plan" \
    --log "$tmp/transcript.txt" >"$tmp/sim.out" &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$tmp/sim.out" ] && break; sleep 0.1; done
  local device; device=$(head -1 "$tmp/sim.out")
  mkdir -p "$tmp/config/Fennelworks"
  printf '[Hardware%%20Setting]\nCommSpeed=1\nCom1Device=%s\n' "$device" \
    >"$tmp/config/Fennelworks/KOVO3000.ini"
  if [ "$mode" = database ]; then
    printf '[Soft%%20Setting]\nShowDataBase=1\n' >>"$tmp/config/Fennelworks/KOVO3000.ini"
  fi
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config" \
    XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp" DBUS_SESSION_BUS_ADDRESS=disabled: \
    "$BUILD/src/app/kovo3000" "$tmp/scan.kv5" >/dev/null 2>&1 &
  pid=$!
  sleep 8 # splash, document, probe
  local hz t0 t1 c0 c1 r0 r1
  hz=$(getconf CLK_TCK)
  c0=$(sed 's/^.*) //' "/proc/$pid/stat" | awk '{print $12 + $13}')
  w0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  r0=$(grep -c ' RX ' "$tmp/transcript.txt" || true); t0=$(date +%s.%N)
  [ -n "${KOVO_SCAN_CPU_PERF:-}" ] && perf record -F 2000 -g -o "$KOVO_SCAN_CPU_PERF.$mode" -p "$pid" -- sleep "$SECONDS_TO_MEASURE" >/dev/null 2>&1 || sleep "$SECONDS_TO_MEASURE"
  c1=$(sed 's/^.*) //' "/proc/$pid/stat" | awk '{print $12 + $13}')
  w1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
  r1=$(grep -c ' RX ' "$tmp/transcript.txt" || true); t1=$(date +%s.%N)
  awk -v c=$((c1 - c0)) -v r=$((r1 - r0)) -v w=$((w1 - w0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v m="$mode" 'BEGIN {
    wall = t1 - t0
    printf "%-7s wall %.1f s, %.1f commands/s, program %.2f %% of one core, %.1f wake-ups per command\n", m, wall, r / wall, 100 * c / hz / wall, w / r
  }'
  kill -INT "$pid"; wait "$pid" 2>/dev/null || true; pid=
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=
}

for mode in "${MODES[@]}"; do measure "$mode"; done
