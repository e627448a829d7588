#!/usr/bin/env bash
# The real program in a real window under Xvfb: the splash appears with the buttons over it and
# the title turns from "Loading..." into the splash time in milliseconds. Prints the time from
# the launch to that title. Usage: splash.sh PATH_TO_VELMORA PATH_TO_ASSETS
set -u
app=$1
assets=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb_lib.sh"
begin_e2e_test
cp "$assets/093070B.jpg" "$work/"

launched=$(date +%s%N)
(cd "$work" && exec "$app") &
APP_PID=$!
window=$(wait_for_window "." 60) || fail "no window"
title=""
for i in $(seq 1 3000); do
    title=$(xdotool getwindowname "$window" 2>/dev/null)
    [[ $title =~ ^[0-9]+$ ]] && break
    sleep 0.01
done
titled=$(date +%s%N)
[[ $title =~ ^[0-9]+$ ]] || fail "title never showed the splash time: '$title'"
echo "splash time in the title: $title ms; launch to that title: $(( (titled - launched) / 1000000 )) ms"

pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
# Components of a pixel as "r g b", from the screenshot or from the picture file.
rgb() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }
near() {  # near "r g b" "r g b" tolerance
    local a=($1) b=($2) i
    for i in 0 1 2; do
        local d=$(( ${a[i]} - ${b[i]} ))
        [ ${d#-} -le $3 ] || return 1
    done
}
# The exit button is drawn once the capture has run; wait for it, then look at the splash.
for i in $(seq 1 100); do
    import -window root "$work/shot.png"
    [ "$(pixel 61 122)" = "srgb(0,143,0)" ] && break
    sleep 0.1
done
[ "$(pixel 61 122)" = "srgb(0,143,0)" ] || fail "Exit button not over the splash: $(pixel 61 122)"

# Ring band at angle 270.0: radius 50 (254, 254, 0) to radius 79 (131, 131, 0); gradient bar
# rows 426 (248, 248, 0) and 449 (132, 132, 0).
for check in "0 375 srgb(254,254,0)" "0 346 srgb(131,131,0)" "300 426 srgb(248,248,0)" \
             "300 449 srgb(132,132,0)"; do
    set -- $check
    [ "$(pixel $1 $2)" = "$3" ] || fail "($1, $2) is $(pixel $1 $2), expected $3"
done
# The picture itself where nothing covers it, and a grey panel beside the buttons: decoders may
# differ by a step or two, so these compare with a small tolerance.
picture=$(rgb "$work/093070B.jpg" 430 280)
near "$(rgb "$work/shot.png" 430 280)" "$picture" 3 || fail "picture not shown at (430, 280)"
read -r r g b <<<"$(rgb "$work/093070B.jpg" 120 120)"
near "$(rgb "$work/shot.png" 120 120)" "$(( (r + 170) / 2 )) $(( (g + 170) / 2 )) $(( (b + 170) / 2 ))" 3 ||
    fail "panel at (120, 120) is not the picture averaged with grey"
echo "PASS: splash shown under the buttons, title '$title'"
