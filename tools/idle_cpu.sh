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

fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$fdfile")"
rm -f "$fdfile"
"$@" &
app=$!
trap 'kill -9 $app $xvfb 2>/dev/null; wait 2>/dev/null' EXIT

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
sleep "$settle"
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "cpu: %.2f %% of one core over %d s\n", 100 * t / hz / s, s }'
