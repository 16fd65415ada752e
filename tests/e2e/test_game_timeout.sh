#!/usr/bin/env bash
# The time-out ending on the real binary, its clock sped up sixty times
# from outside (the game does not know): ten minutes pass in ten seconds.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/game.sh"
if grep -q '^FERIX_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" 2>/dev/null; then
    echo "skipped: the sanitizer runtime must be loaded before the clock library"
    exit 77
fi
command -v faketime >/dev/null || fail "faketime is not installed"
xvfb_start

game_start faketime -f "+0 x60"
game_wait "What could possibly go wrong?" 15
game_key x
game_wait "If you are stuck just type HELP."
game_wait "Too late! Grubov stole the turkey" 30
game_expect_end
echo ok
