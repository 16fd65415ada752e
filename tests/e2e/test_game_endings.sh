#!/usr/bin/env bash
# Plays the real game in its window to each of the three command endings,
# reading the window back as text, and checks that each ends with 0.
set -u
BUILD=$1
source "$(dirname "$0")/xvfb.sh"
source "$(dirname "$0")/game.sh"
xvfb_start

route() { for word in "$@"; do game_command "$word"; done; }

start_playing() {
    game_start
    game_wait "What could possibly go wrong?" 15
    game_key x
    game_wait "If you are stuck just type HELP."
}

# The Turkey Leg: take it in the dining room, then up to the bedroom.
start_playing
route n e "take turkey leg"
game_wait "The turkey looks good enough to eat"
route w n n n n e n n
game_wait "Grubov stands in front of your bed"
game_send "use turkey leg"
game_wait "It is over, once again."
[ "$(game_row 7)" = "but the floor is empty. Grubov has escaped!" ] || fail "turkey leg ending: $(game_text)"
game_expect_end

# The Knife: from the kitchen, south and up to the bedroom.
start_playing
route n e n "take knife" s n n n e n n
game_wait "Grubov stands in front of your bed"
game_send "use knife"
game_wait "You charge at Grubov"
[ "$(game_row 8)" = "Grubov will be back." ] || fail "knife ending: $(game_text)"
game_expect_end

# Carving: the knife, then CARVE TURKEY back in the entranceway.
start_playing
route n e n "take knife" s s s
game_wait "You stand in the entranceway"
game_send "carve turkey"
game_wait "Before anyone could sit down"
[ "$(game_row 5)" = "before you go to sleep tonight." ] || fail "carve ending: $(game_text)"
game_expect_end
echo ok
