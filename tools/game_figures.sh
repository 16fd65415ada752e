#!/usr/bin/env bash
# The game's figures under Xvfb: process CPU while it waits on the
# introduction, idles at the prompt and waits on the help screen, beside a
# bare freeglut program presenting 30 frames a second; and the time from a
# key press to the letter in the window.
# Usage: tools/game_figures.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build} seconds=${2:-10}
source "$(dirname "$0")/../tests/e2e/xvfb.sh"
xvfb_start

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu() {  # pid label
    local before after
    before=$(ticks "$1"); sleep "$seconds"; after=$(ticks "$1")
    awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v l="$2" \
        'BEGIN { printf "%-28s %6.2f %% of one core\n", l, 100 * t / hz / s }'
}

"$build/bare_present" &
APP_PID=$!
sleep 2
cpu "$APP_PID" "bare freeglut, 30 fps"
kill -9 "$APP_PID"; wait "$APP_PID" 2>/dev/null || true

"$build/feastmoor" &
APP_PID=$!; game=$APP_PID
id=$(wait_window Untitled 10)
xdotool windowmove "$id" 0 0; xdotool windowfocus "$id"
sleep 2
cpu "$game" "game, introduction"
xdotool key x; sleep 2
cpu "$game" "game, idle at the prompt"
"$build/key_latency" "$id" 22 3 30 | sed 's/^median/key to letter, median/'
xdotool type --delay 50 help; xdotool key Return; sleep 2
cpu "$game" "game, help screen"
