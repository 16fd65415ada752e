# Sourced by the e2e scripts: a private X server and helpers around it.
# Each script calls xvfb_start first; the server goes when the script ends.

xvfb_start() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$fdfile")"
    rm -f "$fdfile"
    trap xvfb_stop EXIT
}

xvfb_stop() {
    [ -n "${APP_PID:-}" ] && kill -9 "$APP_PID" 2>/dev/null
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    return 0
}

# Waits up to $2 seconds (default 10) for a window whose name matches $1
# exactly; prints its id.
wait_window() {
    local id
    for _ in $(seq $(( ${2:-10} * 20 ))); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    echo "no window named '$1'" >&2
    return 1
}

# Waits up to $2 seconds for process $1 to end; sets EXIT_CODE.
wait_exit() {
    for _ in $(seq $(( ${2:-5} * 20 ))); do
        if ! kill -0 "$1" 2>/dev/null; then
            wait "$1"; EXIT_CODE=$?
            return 0
        fi
        sleep 0.05
    done
    echo "process $1 did not end" >&2
    return 1
}

fail() { echo "FAIL: $*" >&2; exit 1; }
