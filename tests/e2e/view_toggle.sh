#!/usr/bin/env bash
# The real program in a real window: a right release shows the 3D view, black since the program
# never builds its scene, whatever the steering keys do; a second right release brings back the
# layer view with the same pixels as before. Without an OpenGL pixel format the program ends with
# exit code 0. Usage: view_toggle.sh PATH_TO_VELMORA
set -u
app=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_lib.sh"
begin_e2e_test

(cd "$work" && exec "$app") &
APP_PID=$!
window=$(wait_for_window "." 60) || fail "no window"

# The client area at the window's place on the root window, as a PNG.
geometry() { xdotool getwindowgeometry --shell "$window" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=//p' | tr '\n' ' '; }
shoot() {  # $1: output file
    local x y w h
    read -r x y w h <<<"$(geometry)"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}
# Number of distinct colours and the brightest value of an image.
colours() { convert "$1" -format "%k" info:; }
maximum() { convert "$1" -format "%[fx:maxima]" info:; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# The layer view: the Exit button's band 0 at (61, 122) once the buttons are composed.
for i in $(seq 1 100); do
    shoot "$work/layers.png"
    [ "$(convert "$work/layers.png" -format "%[pixel:p{61,122}]" info:)" = "srgb(0,143,0)" ] && break
    sleep 0.1
done
[ "$(convert "$work/layers.png" -format "%[pixel:p{61,122}]" info:)" = "srgb(0,143,0)" ] ||
    fail "buttons not drawn"
sleep 0.3  # a few more presents of the same composition
shoot "$work/layers.png"

# The pointer stays on the background, so no button is highlighted when we come back.
xdotool mousemove --window "$window" 400 400
xdotool click 3
for i in $(seq 1 100); do
    shoot "$work/scene.png"
    [ "$(maximum "$work/scene.png")" = 0 ] && break
    sleep 0.1
done
[ "$(maximum "$work/scene.png")" = 0 ] || fail "3D view not black: $(colours "$work/scene.png") colours"

xdotool windowfocus --sync "$window" 2>/dev/null || true
for key in a d w s x z; do xdotool key --delay 0 "$key"; done
sleep 0.5
shoot "$work/steered.png"
[ "$(maximum "$work/steered.png")" = 0 ] || fail "3D view not black after the keys"

xdotool click 3
for i in $(seq 1 100); do
    shoot "$work/back.png"
    same "$work/back.png" "$work/layers.png" && break
    sleep 0.1
done
same "$work/back.png" "$work/layers.png" ||
    fail "layer view differs: $(compare -metric AE "$work/back.png" "$work/layers.png" null: 2>&1) pixels"

kill "$APP_PID"
wait_for_exit "$APP_PID" 10
APP_PID=""

# Without an OpenGL pixel format the program ends by itself with exit code 0.
(cd "$work" && VELMORA_GL_REFUSE=pixel-format exec "$app") &
APP_PID=$!
wait_for_exit "$APP_PID" 60 || fail "the program without a pixel format did not end"
APP_PID=""
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE without a pixel format"
echo "PASS: black 3D view, layer view back unchanged, exit code 0 without a pixel format"
