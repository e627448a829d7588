#!/usr/bin/env bash
# Takes the README's picture of the scene demo: runs it in a private Xvfb server, turns the
# spheres with D and W for a second so the small one has moved round, and saves the window.
# Usage: examples/scene_demo/screenshot.sh SCENE_DEMO_BINARY [OUTPUT_PNG]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
binary=$(realpath "$1")
output=$(realpath -m "${2:-$ROOT/docs/scene_demo.png}")
source "$ROOT/tests/e2e/xvfb_lib.sh"
trap stop_all EXIT
start_xvfb
"$binary" &
APP_PID=$!
window=$(wait_for_window "Scene" 30) || { echo "The window did not appear." >&2; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
for i in $(seq 1 20); do xdotool key --delay 0 d; done
for i in $(seq 1 10); do xdotool key --delay 0 w; done
sleep 1
mkdir -p "$(dirname "$output")"
import -window root -crop 600x480+0+0 "$output"
echo "Saved $output"
xdotool key --delay 0 Escape
wait_for_exit "$APP_PID" 10 >/dev/null && APP_PID=""
