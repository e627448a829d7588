#!/usr/bin/env bash
# The real program in a real window: pointing at "Exit" highlights it, releasing the left button
# ends the program with exit code 0. Usage: exit_button.sh PATH_TO_VELMORA
set -u
app=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_lib.sh"
begin_e2e_test

(cd "$work" && exec "$app") &
APP_PID=$!
window=$(wait_for_window "." 60) || fail "no window"
pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
shoot() { import -window root "$work/shot.png"; }

# Exit's band 0 at (61, 122): green 143 (127 + 127 * 4 / 30); band 1 averages its second
# gradient (green 148) with grey 0x7F: (63, 137, 63).
normal="srgb(0,143,0)"
highlighted="srgb(63,137,63)"
for i in $(seq 1 100); do shoot; [ "$(pixel 61 122)" = "$normal" ] && break; sleep 0.1; done
[ "$(pixel 61 122)" = "$normal" ] || fail "Exit button not drawn: $(pixel 61 122)"

xdotool mousemove --window "$window" 61 110
for i in $(seq 1 100); do shoot; [ "$(pixel 61 122)" = "$highlighted" ] && break; sleep 0.1; done
[ "$(pixel 61 122)" = "$highlighted" ] || fail "Exit not highlighted: $(pixel 61 122)"

xdotool click 1
wait_for_exit "$APP_PID" 20 || fail "the program did not end"
APP_PID=""
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
echo "PASS: highlight seen, exit code 0"
