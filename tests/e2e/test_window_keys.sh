#!/usr/bin/env bash
# The window takes the text screen's frame size, keeps it when something
# tries to resize it, and keys typed into it reach INKEY$.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
xvfb_start
out=$(mktemp)
trap 'rm -f "$out"; xvfb_stop' EXIT

"$BUILD/window_program" keys >"$out" 2>&1 &
APP_PID=$!
id=$(wait_window Untitled 10) || fail "window did not appear"
xdotool windowmove "$id" 0 0   # no window manager places it on screen

size_is() {
    for _ in $(seq 60); do
        [ "$("$BUILD/ferix_xtool" size "$id")" = "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
size_is "640 400" || fail "window is $("$BUILD/ferix_xtool" size "$id"), not 640 400"
[ "$("$BUILD/ferix_xtool" hints "$id")" = "min 640 400 max 640 400" ] ||
    fail "size hints: $("$BUILD/ferix_xtool" hints "$id")"

xdotool windowsize "$id" 800 600
sleep 0.3
size_is "640 400" || fail "window kept the size it was given: $("$BUILD/ferix_xtool" size "$id")"

xdotool windowfocus "$id"
xdotool key a
xdotool key F1
for _ in $(seq 60); do grep -q "key 15104" "$out" && break; sleep 0.05; done
grep -qx "key 97" "$out" || fail "a did not reach INKEY\$: $(cat "$out")"
grep -qx "key 15104" "$out" || fail "F1 did not reach INKEY\$ as CHR\$(0)+CHR\$(59): $(cat "$out")"

sleep 0.3
screen=$("$BUILD/ferix_xtool" text "$id")
echo "$screen" | sed -n 1,3p
[ "$(echo "$screen" | sed -n 2p)" = "GOT 97" ] || fail "the window does not show the key"
[ "$(echo "$screen" | sed -n 3p)" = "GOT 15104" ] || fail "the window does not show F1"
