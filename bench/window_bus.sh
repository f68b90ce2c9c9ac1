#!/bin/sh
# The window-bus figures on a private session bus:  bench/window_bus.sh [BUILD]
BUILD=${1:-build}
exec dbus-run-session -- "$BUILD/bench/bench_window_bus"
