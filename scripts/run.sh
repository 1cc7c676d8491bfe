#!/usr/bin/env bash
# Starts the built program. Without a display it starts a virtual X server first,
# writes a screenshot and tells how to look at the running program.
set -euo pipefail
bin="${1:-build/default/pathtally}"
workdir="${PATHTALLY_WORKDIR:-$HOME/.local/share/pathtally}"
mkdir -p "$workdir"
bin="$(realpath "$bin")"
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  cd "$workdir" && exec "$bin"
fi
disp=":${PATHTALLY_XVFB_DISPLAY:-77}"
Xvfb "$disp" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do DISPLAY=$disp xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$disp
(cd "$workdir" && "$bin") &
app=$!
sleep 4
shot="$(pwd)/build/screenshot.png"
import -window root "$shot" 2>/dev/null || true
cat <<MSG
No display was found, so Pathtally runs on the virtual X server $disp.
  screenshot of the screen:  $shot
  take another:              DISPLAY=$disp import -window root shot.png
  drive it:                  DISPLAY=$disp xdotool mousemove 400 300 click 1
Press Ctrl+C to stop.
MSG
wait $app
