#!/bin/sh
# Runs a test program on a session bus of its own, so that tests never meet
# the desktop's programs or each other.
exec dbus-run-session -- "$@"
