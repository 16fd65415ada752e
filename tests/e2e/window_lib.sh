# Sourced by the window's e2e scripts, after xvfb.sh: runs window_program
# in the private X server and reads its window back.

# Starts "$BUILD/window_program" with the arguments, its output in $OUT;
# sets APP_PID and WINDOW_ID and puts the window at the top-left corner
# (there is no window manager to place it on the screen).
start_window_program() {
    OUT=$(mktemp)
    trap 'rm -f "$OUT"; xvfb_stop' EXIT
    "$BUILD/window_program" "$@" >"$OUT" 2>&1 &
    APP_PID=$!
    WINDOW_ID=$(wait_window Untitled 10) || fail "window did not appear"
    xdotool windowmove "$WINDOW_ID" 0 0
}

# Waits up to 3 seconds for a line of the program's output matching $1.
wait_output() {
    for _ in $(seq 60); do grep -q "$1" "$OUT" && return 0; sleep 0.05; done
    return 1
}

xtool() { "$BUILD/ferix_xtool" "$1" "$WINDOW_ID" "${@:2}"; }
