#!/usr/bin/env bash
# Measures the whole process's CPU use while a program waits for a key in
# each of the ways a program can: an INKEY$ loop, SLEEP, INPUT and END's
# wait. Each wait runs in its own Xvfb; none presents new frames.
# Usage: tools/wait_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-10}
[ -x "$build/window_program" ] || { echo "build $build first (window_program)" >&2; exit 1; }
for wait in inkey sleep input end; do
  printf '%-6s ' "$wait"
  tools/idle_cpu.sh -s "$seconds" "$build/window_program" "$wait"
done
