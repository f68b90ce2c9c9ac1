#!/usr/bin/env bash
# Figures of the web remote, measured in the system's headless Chromium
# against the program in demo mode (its simulator scanning):
#   bench/web_figures.sh [build-dir]
# page load to the first live read-out (median of 10), a frequency change on
# the receiver (made through the Hamlib network protocol) to the page showing
# it (median of 20), and the program's processor share while scanning with
# no page, one page and eight pages open (20 s each).
set -euo pipefail
BUILD=$(realpath "${1:-build}")
ROOT=$(cd "$(dirname "$0")/.." && pwd)
exec "$ROOT/tests/web/browser/run.sh" "$BUILD/src/app/kovo3000" --figures
