// Drives the real translated game in-process: the runtime starts as the
// process would (without a window), keys go in through key_down/key_up as
// the window delivers them, the clock can be moved on, and the visible page
// is read back as 30 rows of text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <cstdio>
#include <unistd.h>

struct BasicString;

namespace game_driver {

// Starts the runtime and the game's program thread. The game's clock is the
// real one plus an offset that advance_clock moves.
void start();

// Moves the game's clock on (it otherwise moves only while the game waits).
void advance_clock(int64_t ms);
// Waits of the game cost no real time (its clock still moves by them).
void set_fast_waits(bool fast);

// One key as the window delivers it: press, then release.
void press(int32_t key_code);
// Each character of text as a key (letters as typed, without Shift).
void type(const std::string& text);
void enter();
void backspace();

// The visible page as text, one string of 80 characters per row (1-based
// row r is rows()[r - 1]); a cell no glyph matches reads as '?'.
std::vector<std::string> rows();
// The colour index of the lit pixels in a row (0 when the row is empty).
int32_t row_colour(int row);

// Waits (up to seconds) until row holds text at column (1-based); false on
// time-out.
bool wait_for(int row, int column, const std::string& text, double seconds = 5);
// Waits until some row starts with text (after trimming nothing); returns
// that row or 0.
int wait_for_line(const std::string& text, double seconds = 5);
// Lets the game run its command reader a few passes.
void settle(int passes = 4);

// The room screen's prompt row (0 when no prompt is shown).
int prompt_row();

// Waits until the introduction is printed; the page can be read from then.
void wait_for_introduction();
// Gets past the introduction: one key, then the first room screen.
void skip_introduction();
// Types a command and Enter, then waits for the next prompt.
void command(const std::string& text);

// Every non-empty text the game printed, with the cursor row it began on.
struct Printed {
    int32_t row;
    std::string text;
    bool newline;
};
std::vector<Printed> printed();
void clear_printed();

std::string dump();

// Called for each print_string of the game (the test binary wraps it).
void record_print(const BasicString* text, int32_t newline);

}  // namespace game_driver

// A scenario runs in a fresh process (the game never returns); it exits 0
// when every check held. Failures are printed and exit with 1.
#define GAME_CHECK(cond)                                                               \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n%s", __FILE__, __LINE__, #cond, \
                         game_driver::dump().c_str());                                 \
            std::fflush(stderr);                                                       \
            _exit(1);                                                                  \
        }                                                                              \
    } while (0)

// Each scenario: a fresh process that starts the game and plays it.
#define SCENARIO(name)                                              \
    void name##_body();                                             \
    TEST(Game, name) {                                              \
        GTEST_FLAG_SET(death_test_style, "threadsafe");             \
        EXPECT_EXIT(                                                \
            {                                                       \
                game_driver::start();                                            \
                name##_body();                                      \
                _exit(0);                                           \
            },                                                      \
            ::testing::ExitedWithCode(0), "");                                 \
    }                                                               \
    void name##_body()
