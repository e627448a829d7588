#!/usr/bin/env bash
# Takes the README's picture of the layer gallery: runs it in a private Xvfb server from assets/,
# gives it two seconds to start and present, rests the pointer on the animation for a few frames,
# and saves the window.
# Usage: examples/gallery/screenshot.sh GALLERY_BINARY [OUTPUT_PNG]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
binary=$(realpath "$1")
output=$(realpath -m "${2:-$ROOT/docs/gallery.png}")
source "$ROOT/tests/e2e/xvfb_lib.sh"
trap stop_all EXIT
start_xvfb
cd "$ROOT/assets"
"$binary" &
APP_PID=$!
window=$(wait_for_window "Velmora layer gallery" 30) || { echo "The window did not appear." >&2; exit 1; }
sleep 2
xdotool mousemove --window "$window" 520 120 sleep 0.3
mkdir -p "$(dirname "$output")"
import -window root -crop 600x480+0+0 "$output"
echo "Saved $output"
xdotool mousemove --window "$window" 50 110 sleep 0.3 click 1
wait_for_exit "$APP_PID" 10 >/dev/null && APP_PID=""
