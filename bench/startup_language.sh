#!/bin/sh
# Start-up time with the English catalogue against without: starts
# `kovo3000 --demo` offscreen N times with Language=en and N times with
# Language=ja, each in a scratch settings folder, and prints the median time
# from the start of main to the first pass of the event loop (the window
# shown), and the ratio English / Japanese.
#   bench/startup_language.sh [PROGRAM] [N]
set -eu
program=${1:-build/src/app/kovo3000}
runs=${2:-15}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

measure() {
    language=$1
    home="$scratch/$language"
    mkdir -p "$home/config/Fennelworks"
    printf '[Soft%%20Setting]\nLanguage=%s\n' "$language" > "$home/config/Fennelworks/KOVO3000.ini"
    i=0
    while [ "$i" -lt "$runs" ]; do
        HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
            QT_QPA_PLATFORM=offscreen KOVO_STARTUP_TIMING=quit \
            timeout -s TERM 20 "$program" --demo 2>&1 >/dev/null |
            sed -n 's/^kovo3000: started in \([0-9.]*\) ms$/\1/p'
        i=$((i + 1))
    done | median
}

# One run each first, so neither language pays for a cold disk cache.
runs_wanted=$runs
runs=1
measure en >/dev/null
measure ja >/dev/null
runs=$runs_wanted
english=$(measure en)
japanese=$(measure ja)
echo "median start-up, English catalogue: $english ms"
echo "median start-up, original texts:    $japanese ms"
awk -v e="$english" -v j="$japanese" 'BEGIN { printf "ratio English / original: %.3f\n", e / j }'
