#!/usr/bin/env bash
# The memory of the stand-in GV and of the wineserver while the GV bridge waits
# for a stand-in that is never ready (or answers in the wrong case), with input
# posted to the waiting thread (GV_INPUT= for none): gv_load_timing's wait, the
# peak resident sizes sampled from outside Wine.
#   scripts/gv-wait-memory.sh [DIR_OF_gv_load_timing.exe] [SECONDS] [MODES...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(cd "${1:-$root/build/win64/tests/external}" && pwd)"
seconds="${2:-20}"
shift $(($# < 2 ? $# : 2))
modes=(never-ready wrong-case)
[ $# -eq 0 ] || modes=("$@")
export GV_DIR="$dir" GV_SECONDS="$seconds" GV_INPUT="${GV_INPUT-input}"
for mode in "${modes[@]}"; do
  GV_MODE="$mode" bash "$root/scripts/with-display.sh" bash -c '
    set -u
    peak() { awk "/^VmHWM/ {print \$2}" "/proc/$1/status" 2>/dev/null || echo 0; }
    # Processes of this display only: other sessions may run their own.
    ours() { tr "\0" "\n" 2>/dev/null <"/proc/$1/environ" | grep -qx "DISPLAY=$DISPLAY"; }
    server=""
    for p in $(pgrep -x "wineserver(64)?" || true); do ours "$p" && server=$p; done
    before=$( [ -n "$server" ] && peak "$server" || echo 0)
    cd "$GV_DIR"
    "$WINELOADER" gv_load_timing.exe wait "$GV_MODE" "$GV_SECONDS" $GV_INPUT &
    run=$!
    gvpeak=0 serverpeak=$before
    while kill -0 "$run" 2>/dev/null; do
      for p in $(pgrep -f "^[A-Za-z]:.*stand_in_gv[.]exe" || true); do
        ours "$p" || continue
        v=$(peak "$p"); [ "${v:-0}" -gt "$gvpeak" ] && gvpeak=$v
      done
      [ -n "$server" ] && { v=$(peak "$server"); [ "${v:-0}" -gt "$serverpeak" ] && serverpeak=$v; }
      sleep 0.2
    done
    wait "$run" || true
    echo "  stand-in GV peak resident $((gvpeak / 1024)) MB; wineserver peak resident $((before / 1024)) MB before, $((serverpeak / 1024)) MB during"
  '
done
