#!/usr/bin/env bash
# The picture read back from the window is the frame the program built,
# pixel for pixel, and the window has the frame's size (SCREEN 12).
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/window_lib.sh"
xvfb_start
frame=$(mktemp --suffix=.ppm)
start_window_program frame "$frame"
wait_output dumped || fail "no frame dumped: $(cat "$OUT")"
# Moving the window exposed it; the display callback drew the frame again.
sleep 0.3
[ "$(xtool size)" = "640 480" ] || fail "window is $(xtool size)"
xtool compare "$frame" || fail "window differs from the frame"
rm -f "$frame"
