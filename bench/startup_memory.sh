#!/usr/bin/env bash
# Wall time and peak memory of a whole start of the program with a full
# database (5,000 channels, 5,000 log entries) named on the command line, up
# to the first rendering of the window (--screenshot renders and exits).
#   bench/startup_memory.sh [build-dir]
set -euo pipefail
BUILD=$(realpath "${1:-build}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$BUILD/bench/bench_startup" --write-full-database "$tmp/full.kv5"
mkdir -p "$tmp/config/Fennelworks"
printf '[Hardware%%20Setting]\nCom1Device=%s\n' "$tmp/no-such-device" > "$tmp/config/Fennelworks/KOVO3000.ini"
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=offscreen
for run in 1 2 3; do
  /usr/bin/time -v "$BUILD/src/app/kovo3000" --screenshot "$tmp/shots" "$tmp/full.kv5" >/dev/null 2>"$tmp/time.txt"
  echo "run $run: $(grep -E 'Elapsed \(wall' "$tmp/time.txt" | sed 's/.*: //') wall," \
       "$(grep -E 'Maximum resident' "$tmp/time.txt" | sed 's/.*: //') kB peak resident"
done
