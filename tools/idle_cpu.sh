#!/usr/bin/env bash
# Measures a program's CPU use while it waits: starts it in a private Xvfb,
# lets it settle, then reads its user+system time from /proc over a window.
# Usage: tools/idle_cpu.sh [-s SECONDS] [-w SETTLE] PROGRAM [ARGS...]
# Prints: "cpu: N.NN % of one core over S s".
set -euo pipefail
seconds=10 settle=3
while getopts "s:w:" opt; do
  case $opt in s) seconds=$OPTARG ;; w) settle=$OPTARG ;; *) exit 2 ;; esac
done
shift $((OPTIND - 1))

source "$(dirname "$0")/../tests/e2e/xvfb.sh"
xvfb_start
"$@" &
APP_PID=$!
app=$APP_PID

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
sleep "$settle"
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "cpu: %.2f %% of one core over %d s\n", 100 * t / hz / s, s }'
