#!/usr/bin/env bash
# INPUT takes typed numbers and refuses letters; closing the window while
# the program waits in INPUT ends the process with exit code 0.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/window_lib.sh"
xvfb_start
start_window_program input
sleep 0.5
xdotool windowfocus "$WINDOW_ID"
xdotool type --delay 30 "1x2"
xdotool key Return
wait_output "^input"
grep -qx "input 12" "$OUT" || fail "INPUT read: $(cat "$OUT")"
sleep 0.3
xtool text | head -1 | grep -qx "NUMBER? 12" || fail "screen: $(xtool text | head -2)"

"$BUILD/wm_close" "$WINDOW_ID"
wait_exit "$APP_PID" 3 || fail "close request did not end the process"
APP_PID=
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE"
