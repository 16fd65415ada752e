#!/usr/bin/env bash
# The window takes the text screen's frame size, keeps it when something
# tries to resize it, and keys typed into it reach INKEY$.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/window_lib.sh"
xvfb_start
start_window_program keys

size_is() {
    for _ in $(seq 60); do
        [ "$(xtool size)" = "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
size_is "640 400" || fail "window is $(xtool size), not 640 400"
[ "$(xtool hints)" = "min 640 400 max 640 400" ] || fail "size hints: $(xtool hints)"

xdotool windowsize "$WINDOW_ID" 800 600
sleep 0.3
size_is "640 400" || fail "window kept the size it was given: $(xtool size)"

xdotool windowfocus "$WINDOW_ID"
xdotool key a
xdotool key F1
wait_output "key 15104"
grep -qx "key 97" "$OUT" || fail "a did not reach INKEY\$: $(cat "$OUT")"
grep -qx "key 15104" "$OUT" || fail "F1 did not reach INKEY\$ as CHR\$(0)+CHR\$(59): $(cat "$OUT")"

sleep 0.3
screen=$(xtool text)
echo "$screen" | sed -n 1,3p
[ "$(echo "$screen" | sed -n 2p)" = "GOT 97" ] || fail "the window does not show the key"
[ "$(echo "$screen" | sed -n 3p)" = "GOT 15104" ] || fail "the window does not show F1"
