# Sourced by the scan-rate benchmarks (bench/*_scan_rate.sh): their private
# session bus, the document they scan, the receiver simulator, the program
# and the count of channels tuned. The caller sets BUILD and tmp, and its
# stop_all ends sim_pid and pid.

# Runs the calling script again on a session bus of its own.
on_private_bus() {
  if [ -z "${KOVO_BENCH_PRIVATE_BUS:-}" ]; then
    KOVO_BENCH_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
  fi
}

# $tmp/scan.kv5: 100 channels 25 kHz apart in bank 1, linked; memory scan,
# logging on, with the control parameters given as JSON members besides
# (e.g. '"p28": 1').
pack_scan_document() {
  python3 - "${1:-}" >"$tmp/doc.json" <<'PY'
import json, sys
params = json.loads('{"p08": 0, "p80": 1' + (', ' + sys.argv[1] if sys.argv[1] else '') + '}')
channels = [{"frequency": 145000000 + 25000 * i, "bankMask": 2} for i in range(100)]
print(json.dumps({"controlParams": params,
                  "memoryBanks": [{}, {"linkFlags": [1]}], "channels": channels}))
PY
  "$BUILD/tools/kovoctl/kovoctl" pack "$tmp/doc.json" "$tmp/scan.kv5" >/dev/null
}

# Starts the receiver simulator at 9,600 bit/s with the signal plan $1, its
# transcript in $tmp/transcript.txt; sets sim_pid once its device is there.
start_receiver_sim() {
  rm -f "$tmp/transcript.txt"
  "$BUILD/tools/receiver-sim/receiver-sim" --baud 9600 --plan "$1" \
    --log "$tmp/transcript.txt" >"$tmp/sim.out" &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$tmp/sim.out" ] && break; sleep 0.1; done
  [ -s "$tmp/sim.out" ] || { echo "the receiver simulator did not start" >&2; exit 1; }
}

# The program's settings: the simulator's device at 9,600 bit/s, then the
# "Soft Setting" lines given (name=value).
write_program_settings() {
  mkdir -p "$tmp/config/Fennelworks"
  {
    printf '[Hardware%%20Setting]\nCommSpeed=1\nCom1Device=%s\n' "$(head -1 "$tmp/sim.out")"
    [ $# -eq 0 ] || printf '[Soft%%20Setting]\n'
    [ $# -eq 0 ] || printf '%s\n' "$@"
  } >"$tmp/config/Fennelworks/KOVO3000.ini"
}

# Starts the program headless on $tmp/scan.kv5 with the options given; sets
# pid. Its errors go to $tmp/program.err.
start_program() {
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config" \
    XDG_DATA_HOME="$tmp/data" "$BUILD/src/app/kovo3000" "$@" "$tmp/scan.kv5" \
    >/dev/null 2>"$tmp/program.err" &
  pid=$!
}

# Ends the program and the simulator where they run. The program is killed:
# the log made the document modified, and it would ask before closing.
stop_program_and_sim() {
  [ -n "$pid" ] && { kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; } || true
  [ -n "$sim_pid" ] && { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; } || true
  pid= sim_pid=
}

# The frequency commands in the simulator's transcript so far.
frequency_commands() { grep -cE ' RX +"[0-9]+\.[0-9]*\\r"' "$tmp/transcript.txt" || true; }

# Channels per second: $1 channels between the times $2 and $3 (date +%s.%N).
channels_per_second() {
  awk -v c="$1" -v t0="$2" -v t1="$3" 'BEGIN { printf "%.3f\n", c / (t1 - t0) }'
}
