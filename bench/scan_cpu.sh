#!/usr/bin/env bash
# CPU time over wall time while the program scans the demo receiver at
# 9,600 bit/s (kovo3000 --demo, offscreen). The simulator runs on a thread of
# the same process, so the main (user-interface) thread is reported apart.
#   bench/scan_cpu.sh [build-dir] [seconds] [database]
# With "database" the database panel is shown on the channel view as well.
set -euo pipefail
BUILD=$(realpath "${1:-build}")
SECONDS_TO_MEASURE=${2:-30}
tmp=$(mktemp -d)
mkdir -p "$tmp/config/Fennelworks"
printf '[Hardware%%20Setting]\nCommSpeed=1\n' > "$tmp/config/Fennelworks/KOVO3000.ini"
if [ "${3:-}" = database ]; then
  printf '[Soft%%20Setting]\nShowDataBase=1\n' >> "$tmp/config/Fennelworks/KOVO3000.ini"
fi
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
  XDG_RUNTIME_DIR="$tmp" "$BUILD/src/app/kovo3000" --demo >"$tmp/stops.txt" 2>/dev/null &
pid=$!
trap 'kill -INT $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$tmp"' EXIT
sleep 10 # the demo document comes after 5 s, then the receiver probe

ticks() { # utime + stime of one thread, in clock ticks
  sed 's/^.*) //' "/proc/$pid/task/$1/stat" | awk '{print $12 + $13}'
}
total_ticks() {
  local sum=0 t
  for t in /proc/$pid/task/*; do sum=$((sum + $(ticks "$(basename "$t")"))); done
  echo $sum
}
hz=$(getconf CLK_TCK)
main0=$(ticks $pid); all0=$(total_ticks); stops0=$(wc -l <"$tmp/stops.txt"); t0=$(date +%s.%N)
sleep "$SECONDS_TO_MEASURE"
main1=$(ticks $pid); all1=$(total_ticks); stops1=$(wc -l <"$tmp/stops.txt"); t1=$(date +%s.%N)
awk -v m=$((main1 - main0)) -v a=$((all1 - all0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" \
    -v s=$((stops1 - stops0)) 'BEGIN {
  wall = t1 - t0
  printf "wall %.1f s, stops %d\n", wall, s
  printf "user-interface thread: %.2f %% of one core\n", 100 * m / hz / wall
  printf "whole process (with the simulator thread): %.2f %%\n", 100 * a / hz / wall
}'
