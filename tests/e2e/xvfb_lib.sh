# Helpers for tests and scripts that drive the real program in a private Xvfb server.
# Each caller starts its own server on a free display and stops only what it started.

XVFB_PID=""
APP_PID=""
# A sanitizer-built program reports only leaks of its own (see lsan.supp).
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Starts Xvfb on a free display (chosen by the server) and exports DISPLAY.
start_xvfb() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 3>"$fdfile" 2>/dev/null &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    [ "$DISPLAY" != ":" ]
}

stop_all() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    return 0
}

# Prints the X window id of the first window whose title matches $1, waiting up to $2 seconds.
wait_for_window() {
    local pattern=$1 seconds=${2:-30} i id
    for i in $(seq 1 $((seconds * 10))); do
        id=$(xdotool search --name "$pattern" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until the title of window $1 matches the regular expression $2 (up to $3 seconds).
wait_for_title() {
    local id=$1 regex=$2 seconds=${3:-30} i
    for i in $(seq 1 $((seconds * 10))); do
        xdotool getwindowname "$id" 2>/dev/null | grep -Eq "$regex" && return 0
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds for process $1, a child of this shell, to end; sets EXIT_CODE to its
# exit status. Call it directly, not in $( ): a subshell cannot collect its parent's child.
EXIT_CODE=""
wait_for_exit() {
    local pid=$1 seconds=${2:-10} i state
    for i in $(seq 1 $((seconds * 10))); do
        state=$(ps -o stat= -p "$pid" 2>/dev/null || true)
        if [ -z "$state" ] || [[ $state == Z* ]]; then
            wait "$pid" && EXIT_CODE=0 || EXIT_CODE=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

fail() { echo "FAIL: $*"; exit 1; }

# The start of an end-to-end test: skips (exit 77) without Xvfb, xdotool or ImageMagick, stops
# what the test started when it ends, makes the test's own folder $work and starts Xvfb.
begin_e2e_test() {
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v convert >/dev/null || {
        echo "Xvfb, xdotool or ImageMagick missing: skipped"; exit 77; }
    trap stop_all EXIT
    work=$(mktemp -d)
    start_xvfb || fail "Xvfb did not start"
}
