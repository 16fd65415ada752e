// Thousands of random keys and commands, delivered faster than the game
// reads them: the game stays in a valid room with its screen intact.
#include <cstdlib>
#include <string>

#include "game_driver.h"
#include "runtime/window/keyboard.h"

namespace {

using namespace game_driver;

// Commands that keep the game going (no quit words and no endings).
const char* const COMMANDS[] = {"NORTH", "SOUTH", "EAST", "WEST", "N", "S", "GO WEST", "TAKE KNIFE",
                                "TAKE TURKEY LEG", "INVENTORY", "I", "HELP", "TALK TO MOM", "TALK TO GRUBOV",
                                "EXAMINE MEAL", "EXAMINE KNIFE", "EXAMINE TURKEY LEG", "USE KNIFE NOW",
                                "GO  NORTH", "DRINK", "UNLOCK", ""};
// Keys: letters (none that starts a quit word), space, Backspace, Enter,
// arrows, F1, Shift, a key code outside every table.
const int32_t KEYS[] = {'a', 'b', 'c', 'f', 'g', 'h', 'i', 'k', 'n', 'o', 's', 't', 'w', ' ', 8, 13,
                        0x4800, 0x5000, 0x3B00, 100304, 123456789, -5};

void key(int32_t code) {
    key_down(code);
    key_up(code);
}

void type_fast(const std::string& text) {
    for (unsigned char c : text) key(c);
    key(13);
}

SCENARIO(ThousandsOfRandomKeysAndCommands) {
    skip_introduction();
    set_fast_waits(true);
    std::srand(20261211);
    for (int i = 0; i < 4000; ++i) {
        if (std::rand() % 10 == 0)
            type_fast(COMMANDS[std::rand() % (sizeof COMMANDS / sizeof *COMMANDS)]);
        else
            key(KEYS[std::rand() % (sizeof KEYS / sizeof *KEYS)]);
        if (i % 50 == 0) settle(1);  // let the game read some of them
    }
    // Leave whatever screen the game is on, and let it come to rest.
    for (int i = 0; i < 6; ++i) {
        key(13);
        settle(10);
    }
    set_fast_waits(false);
    GAME_CHECK(wait_for(18, 1, "If you are stuck just type HELP.", 30));
    auto lines = rows();
    GAME_CHECK(lines[14].substr(0, 36) == "*---------------------------------* ");
    GAME_CHECK(lines[5].find("Feastmoor") == 33);
    GAME_CHECK(prompt_row() >= 21);
    GAME_CHECK(rows()[1].find(':') == 35);  // the countdown goes on
}

}  // namespace
