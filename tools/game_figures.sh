#!/usr/bin/env bash
# The game's figures under Xvfb: process CPU while it waits on the
# introduction, idles at the prompt and waits on the help screen, beside a
# bare freeglut program presenting 30 frames a second; and the time from a
# key press to the letter in the window.
# Usage: tools/game_figures.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build} seconds=${2:-10}
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$fdfile")"
rm -f "$fdfile"
pids=()
trap 'kill -9 "${pids[@]}" $xvfb 2>/dev/null; wait 2>/dev/null' EXIT

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu() {  # pid label
    local before after
    before=$(ticks "$1"); sleep "$seconds"; after=$(ticks "$1")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v l="$2" \
        'BEGIN { printf "%-28s %6.2f %% of one core\n", l, 100 * t / hz / s }'
}
window_of() {
    for _ in $(seq 100); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    return 1
}

"$build/bare_present" & pids+=($!); bare=$!
sleep 2
cpu "$bare" "bare freeglut, 30 fps"
kill -9 "$bare"

"$build/feastmoor" & pids+=($!); game=$!
id=$(window_of Untitled)
xdotool windowmove "$id" 0 0; xdotool windowfocus "$id"
sleep 2
cpu "$game" "game, introduction"
xdotool key x; sleep 2
cpu "$game" "game, idle at the prompt"
"$build/key_latency" "$id" 22 3 30 | sed 's/^median/key to letter, median/'
xdotool type --delay 50 help; xdotool key Return; sleep 2
cpu "$game" "game, help screen"
