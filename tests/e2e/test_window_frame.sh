#!/usr/bin/env bash
# The picture read back from the window is the frame the program built,
# pixel for pixel, and the window has the frame's size (SCREEN 12).
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
xvfb_start
dir=$(mktemp -d)
trap 'rm -rf "$dir"; xvfb_stop' EXIT

"$BUILD/window_program" frame "$dir/frame.ppm" >"$dir/out" 2>&1 &
APP_PID=$!
id=$(wait_window Untitled 10) || fail "window did not appear"
xdotool windowmove "$id" 0 0
for _ in $(seq 100); do grep -q dumped "$dir/out" && break; sleep 0.05; done
grep -q dumped "$dir/out" || fail "no frame dumped: $(cat "$dir/out")"
# Moving the window exposes it; the display callback draws the frame again.
sleep 0.3
[ "$("$BUILD/ferix_xtool" size "$id")" = "640 480" ] || fail "window is $("$BUILD/ferix_xtool" size "$id")"
"$BUILD/ferix_xtool" compare "$id" "$dir/frame.ppm" || fail "window differs from the frame"
