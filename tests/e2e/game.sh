# Sourced by the game's e2e scripts: start the real game in the private X
# server, type into its window and read its rows back.

game_start() {  # [launcher...]: e.g. faketime, to run the game under it
    "$@" "$BUILD/feastmoor" &
    APP_PID=$!
    GAME_WINDOW=$(wait_window Untitled 15) || fail "the game's window did not appear"
    xdotool windowmove "$GAME_WINDOW" 0 0
    xdotool windowfocus "$GAME_WINDOW"
}

game_text() { "$BUILD/ferix_xtool" text "$GAME_WINDOW"; }

# game_row N: row N (1-based) of the window, trailing blanks removed.
game_row() { game_text | sed -n "${1}p" | sed 's/ *$//'; }

# Waits up to $2 seconds (default 10) until some row starts with $1.
game_wait() {
    for _ in $(seq $(( ${2:-10} * 10 ))); do
        game_text | grep -q "^$1" && return 0
        sleep 0.1
    done
    echo "--- window:" >&2; game_text >&2
    fail "no row starts with '$1'"
}

game_key() { xdotool key --delay 40 "$@"; }

# True when the command reader runs with nothing typed: the prompt row is
# ">" alone and the countdown stands on row 2. Keys typed before the reader
# starts are drained by it, so a command waits for this.
game_reading() {
    game_text | awk 'NR == 2 && /[0-9]:[0-9 ][0-9]\.[0-9][0-9][0-9]/ { clock = 1 }
                     /^> *$/ || /^>$/ { prompt = 1 }
                     END { exit !(clock && prompt) }'
}

# Types a command and Enter (for the commands that end the game).
game_send() {
    xdotool type --delay 60 "$1"
    game_key Return
}

# Types a command and Enter, then waits until the next command can be typed.
game_command() {
    game_send "$1"
    sleep 0.1
    for _ in $(seq 100); do game_reading && return 0; sleep 0.1; done
    echo "--- window:" >&2; game_text >&2
    fail "the game did not come back to its prompt after '$1'"
}

# Plays an ending's last key and checks that the process ends with 0.
game_expect_end() {
    game_wait "Press any key to continue" 15
    sleep 0.3  # END drains the keyboard buffer after its prompt
    game_key space
    wait_exit "$APP_PID" 10 || fail "the game did not end after the key"
    APP_PID=
    [ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE"
}
