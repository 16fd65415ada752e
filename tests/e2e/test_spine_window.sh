#!/usr/bin/env bash
# The window appears titled "Untitled", with a fixed size, and a window
# manager's close request ends the process with exit code 0.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
xvfb_start

"$BUILD/spine_program" idle &
APP_PID=$!
id=$(wait_window Untitled 10) || fail "window did not appear"
hints=$(xprop -id "$id" WM_NORMAL_HINTS)
echo "$hints" | grep -q "program specified minimum size" || fail "no minimum size: $hints"
echo "$hints" | grep -q "program specified maximum size" || fail "no maximum size: $hints"

start=$(date +%s%N)
"$BUILD/wm_close" "$id"
wait_exit "$APP_PID" 3 || fail "close request did not end the process"
APP_PID=
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE"
echo "closed in ${elapsed} ms"
