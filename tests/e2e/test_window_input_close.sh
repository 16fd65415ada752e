#!/usr/bin/env bash
# INPUT takes typed numbers and refuses letters; closing the window while
# the program waits in INPUT ends the process with exit code 0.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
xvfb_start
out=$(mktemp)
trap 'rm -f "$out"; xvfb_stop' EXIT

"$BUILD/window_program" input >"$out" 2>&1 &
APP_PID=$!
id=$(wait_window Untitled 10) || fail "window did not appear"
xdotool windowmove "$id" 0 0
sleep 0.5
xdotool windowfocus "$id"
xdotool type --delay 30 "1x2"
xdotool key Return
for _ in $(seq 60); do grep -q "^input" "$out" && break; sleep 0.05; done
grep -qx "input 12" "$out" || fail "INPUT read: $(cat "$out")"
sleep 0.3
"$BUILD/ferix_xtool" text "$id" | head -2 | grep -qx "NUMBER? 12" || fail "screen: $("$BUILD/ferix_xtool" text "$id" | head -2)"

"$BUILD/wm_close" "$id"
wait_exit "$APP_PID" 3 || fail "close request did not end the process"
APP_PID=
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE"
