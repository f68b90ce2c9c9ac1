#!/bin/sh
# The recorder's figures while the program scans the simulator, on a private
# sound server and session bus:  bench/recorder_figures.sh [BUILD] [SECONDS]
# Prints CPU of the recorder, squelch-open-to-audio latency and files per hour.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
SECONDS_TO_RUN=${2:-120}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kovo-recorder-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cat >"$WORK/doc.json" <<'JSON'
{"controlParams": {"p08": 0, "p80": 1},
 "memoryBanks": [{"linkFlags": [0]}, {"linkFlags": [1], "name": "busy"}],
 "channels": [
  {"frequency": 145500000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "Repeater"},
  {"frequency": 145600000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "Calling"},
  {"frequency": 433920000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "ISM"},
  {"frequency": 433500000, "bankMask": 2, "mode": 0, "step": 8, "ifBandwidth": 3, "attenuator": 0, "comment": "70cm"}]}
JSON
"$BUILD/tools/kovoctl/kovoctl" pack "$WORK/doc.json" "$WORK/scan.kv5"
cat >"$WORK/run.sh" <<SCRIPT
export HOME="$WORK" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" QT_QPA_PLATFORM=offscreen
"$BUILD/recorder/kovo-recorder" --no-window --figures --folder "$WORK/rec" >"$WORK/recorder.log" &
R=\$!
sleep 1
"$BUILD/src/app/kovo3000" --demo "$WORK/scan.kv5" >"$WORK/program.log" 2>&1 &
P=\$!
sleep 3
"$BUILD/tools/kovoctl/kovoctl" send 10 0 >/dev/null
sleep $SECONDS_TO_RUN
kill \$P; wait \$P || true
sleep 1
kill \$R; wait \$R || true
SCRIPT
"$ROOT/recorder/tests/run-with-sound.sh" sh "$WORK/run.sh" 2>/dev/null
grep '^figures:' "$WORK/recorder.log"
echo "stops logged by the program: $(grep -c '^stop ' "$WORK/program.log")"
echo "files in the folder: $(ls "$WORK/rec" | wc -l)"
