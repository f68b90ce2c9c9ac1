#!/bin/sh
# Start-up time with the English catalogue against without: starts
# `kovo3000 --demo` offscreen N times with Language=en and N times with
# Language=ja (taking turns, so a change in the machine's load hits both),
# each in a scratch settings folder, and prints the median time from the
# start of main to the first pass of the event loop (the window shown) and
# the ratio English / original.
#   bench/startup_language.sh [PROGRAM] [N]
set -eu
program=${1:-build/src/app/kovo3000}
runs=${2:-21}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Prints the start-up time of one run in `language` (en or ja), in ms.
start_once() {
    home="$scratch/$1"
    mkdir -p "$home/config/Fennelworks"
    printf '[Soft%%20Setting]\nLanguage=%s\n' "$1" > "$home/config/Fennelworks/KOVO3000.ini"
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        QT_QPA_PLATFORM=offscreen KOVO_STARTUP_TIMING=quit \
        timeout -s TERM 20 "$program" --demo 2>&1 >/dev/null |
        sed -n 's/^kovo3000: started in \([0-9.]*\) ms$/\1/p'
}

# One run each first, so neither language pays for a cold disk cache.
start_once en >/dev/null
start_once ja >/dev/null
i=0
while [ "$i" -lt "$runs" ]; do
    start_once en >>"$scratch/en.ms"
    start_once ja >>"$scratch/ja.ms"
    i=$((i + 1))
done
english=$(median "$scratch/en.ms")
original=$(median "$scratch/ja.ms")
echo "median start-up over $runs runs, English catalogue: $english ms"
echo "median start-up over $runs runs, original texts:    $original ms"
awk -v e="$english" -v j="$original" 'BEGIN { printf "ratio English / original: %.3f\n", e / j }'
