#!/usr/bin/env bash
# An unhandled error opens the real dialog (found by its caption); No ends
# the process with 0. An integer division by zero ends it with the
# "Division by zero" box and 0.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
xvfb_start

"$BUILD/spine_program" error &
APP_PID=$!
box=$(wait_window "Unhandled Error #9" 10) || fail "error dialog did not appear"
xdotool key --window "$box" n
wait_exit "$APP_PID" 5 || fail "No did not end the process"
APP_PID=
[ "$EXIT_CODE" -eq 0 ] || fail "exit code after No: $EXIT_CODE"

"$BUILD/spine_program" divide &
APP_PID=$!
box=$(wait_window "Critical Error" 10) || fail "division box did not appear"
xdotool key --window "$box" Return
wait_exit "$APP_PID" 5 || fail "OK did not end the process"
APP_PID=
[ "$EXIT_CODE" -eq 0 ] || fail "exit code after division by zero: $EXIT_CODE"
echo ok
