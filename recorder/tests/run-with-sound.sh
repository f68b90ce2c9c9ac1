#!/bin/sh
# Runs a test program with a sound server and a session bus of its own: a
# private PulseAudio with no hardware and a private D-Bus session. The input
# is the monitor of a null sink "air" that a 440 Hz sine plays into (the
# sine-source module delivers its audio in blocks of seconds, far too late
# to follow a squelch); playback goes to a second null sink.
set -eu
RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/kovo-sound.XXXXXX")
cleanup() {
    [ -n "${PULSE_PID:-}" ] && kill "$PULSE_PID" 2>/dev/null || true
    rm -rf "$RUNTIME"
}
trap cleanup EXIT INT TERM
# An explicit runtime and home keep a root user's server apart from any
# system one; -n ignores the installed default configuration.
export XDG_RUNTIME_DIR="$RUNTIME" HOME="$RUNTIME"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit=yes \
    --disable-shm=yes \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$RUNTIME/native" \
    -L "module-null-sink sink_name=silence" \
    -L "module-null-sink sink_name=air rate=48000 channels=1" \
    -L "module-sine sink=air frequency=440" \
    >"$RUNTIME/pulse.log" 2>&1 &
PULSE_PID=$!
export PULSE_SERVER="unix:$RUNTIME/native" PULSE_SOURCE=air.monitor PULSE_SINK=silence
# Tests that stop the server (SIGSTOP) to see what waits on it.
export KOVO_SOUND_SERVER_PID="$PULSE_PID"
for _ in $(seq 1 100); do
    [ -S "$RUNTIME/native" ] && break
    sleep 0.05
done
[ -S "$RUNTIME/native" ] || { cat "$RUNTIME/pulse.log" >&2; exit 1; }
dbus-run-session -- "$@"
