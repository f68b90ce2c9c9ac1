#!/bin/sh
# Installs the browser driver (once, from the committed lock file) and runs
# the page's tests against the program given.
set -e
program=$(realpath "$1")
shift
cd "$(dirname "$0")"
if [ ! -x /usr/bin/chromium ] && [ -z "$KOVO_CHROMIUM" ]; then
    echo "Chromium is missing: apt-get install chromium" >&2
    exit 1
fi
if [ ! -d node_modules/playwright-core ]; then
    npm ci --no-audit --no-fund --loglevel=error
fi
exec node remote.test.mjs "$program" "$@"
