#!/usr/bin/env bash
# Runs a command with a virtual display of its own (Xvfb on a free display
# number) and one wineserver for the whole command; stops both afterwards.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
geometry="${TALVERN_SCREEN:-1024x768x24}"
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "$geometry" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$n"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
"$(dirname "$0")/wine-prefix.sh"
# Start the wineserver and Wine's own services now, detached from our output:
# services started by a test program would hold its output pipe open and keep
# the test runner waiting.
wineserver -p >/dev/null 2>&1 || true
"$WINELOADER" wineboot >/dev/null 2>&1 </dev/null || true
"$@"
