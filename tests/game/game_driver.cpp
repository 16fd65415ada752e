#include "game_driver.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include "game/program.h"
#include "platform/clock.h"
#include "runtime/core/clock.h"
#include "runtime/core/program.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/window/keyboard.h"
#include "runtime/window/timing.h"
#include <array>
#include <cstdio>
#include <mutex>
#include <unistd.h>
#include "runtime/screen/text.h"
#include "runtime/values/basic_string.h"

namespace game_driver {

namespace {

// The game's clock moves only when the game waits (and when a test moves
// it), so what the countdown shows does not depend on how fast this
// machine runs the game.
std::atomic<int64_t> virtual_ms{1000};
int64_t game_clock() { return virtual_ms.load(); }
std::atomic<bool> fast_waits{false};
void game_wait(uint32_t ms) {
    virtual_ms.fetch_add(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(fast_waits.load() ? 0 : ms));
}

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

using Bitmap = std::array<uint8_t, 16>;

const std::map<Bitmap, char>& glyph_map() {
    static const std::map<Bitmap, char> map = [] {
        std::map<Bitmap, char> m;
        for (int code = 126; code >= 32; --code) {
            Bitmap b{};
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 8; ++x)
                    if (GLYPHS_8X16[code * 128 + y * 8 + x]) b[y] |= uint8_t(0x80 >> x);
            m[b] = char(code);
        }
        return m;
    }();
    return map;
}

// Page 0's record, looked up once the game has set its screen mode (its
// introduction is printed): from then on the record and its pixels stay
// where they are, while the page table itself may still change.
std::atomic<const ImageRecord*> visible_page{nullptr};

const ImageRecord* page0() { return visible_page.load(); }

}  // namespace

void start() {
    set_clock_source(game_clock);
    set_wait_function(game_wait);
    static char name[] = "feastmoor";
    static char* argv[] = {name, nullptr};
    runtime_startup(1, argv, &FEASTMOOR_PROGRAM);
    runtime_start_threads();
}

void advance_clock(int64_t ms) { virtual_ms.fetch_add(ms); }
void set_fast_waits(bool fast) { fast_waits.store(fast); }

void press(int32_t key_code) {
    key_down(key_code);
    pause_ms(5);
    key_up(key_code);
    // The command reader takes one key per pass, 30 passes a second.
    pause_ms(40);
}

void type(const std::string& text) {
    for (unsigned char c : text) press(c);
}

void enter() { press(13); }
void backspace() { press(8); }

std::vector<std::string> rows() {
    std::vector<std::string> out(30, std::string(80, ' '));
    const ImageRecord* page = page0();
    if (!page || page->is_text || page->width < 640 || page->height < 480) return out;
    const auto& glyphs = glyph_map();
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 80; ++c) {
            Bitmap b{};
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 8; ++x)
                    if (page->pixels[(r * 16 + y) * page->width + c * 8 + x] != 0) b[y] |= uint8_t(0x80 >> x);
            auto found = glyphs.find(b);
            out[r][c] = found == glyphs.end() ? '?' : found->second;
        }
    return out;
}

int32_t row_colour(int row) {
    const ImageRecord* page = page0();
    if (!page || page->is_text) return 0;
    for (int y = (row - 1) * 16; y < row * 16; ++y)
        for (int x = 0; x < page->width; ++x)
            if (uint8_t p = page->pixels[y * page->width + x]) return p;
    return 0;
}

bool wait_for(int row, int column, const std::string& text, double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.01) {
        std::string line = rows()[row - 1];
        if (line.compare(column - 1, text.size(), text) == 0) return true;
        pause_ms(10);
    }
    return false;
}

int wait_for_line(const std::string& text, double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.01) {
        auto lines = rows();
        for (int r = 0; r < 30; ++r)
            if (lines[r].compare(0, text.size(), text) == 0) return r + 1;
        pause_ms(10);
    }
    return 0;
}

void settle(int passes) { pause_ms(passes * 34); }

int prompt_row() {
    auto lines = rows();
    for (int r = 19; r < 30; ++r)
        if (lines[r].compare(0, 2, "> ") == 0) return r + 1;
    return 0;
}

// The command reader runs with nothing typed yet: the countdown is on row 2
// (the screen before the reader's first pass has none) and the prompt row
// holds the prompt alone. Keys sent earlier would be drained by the reader.
bool reading() {
    auto lines = rows();
    int row = prompt_row();
    return row && lines[1][35] == ':' && lines[row - 1].find_first_not_of(' ', 1) == std::string::npos;
}

void wait_for_introduction() {
    for (int i = 0; i < 1000; ++i) {
        bool shown = false;
        for (const auto& p : printed()) shown |= p.text == "What could possibly go wrong?";
        if (shown) {
            visible_page = image_at(page_image_index(0));
            return;
        }
        pause_ms(10);
    }
    GAME_CHECK(!"the introduction was printed");
}

void skip_introduction() {
    wait_for_introduction();
    press('x');
    for (int i = 0; i < 1000 && !reading(); ++i) pause_ms(10);
    GAME_CHECK(reading());
}

void command(const std::string& text) {
    clear_printed();
    type(text);
    enter();
    // Wait for the room screen to be drawn again, then for the reader.
    for (int i = 0; i < 1000; ++i) {
        bool redrawn = false;
        for (const auto& p : printed()) redrawn |= p.text == "If you are stuck just type HELP.";
        if (redrawn && reading()) return;
        pause_ms(10);
    }
    GAME_CHECK(!"the game came back to its prompt");
}

namespace {
std::mutex printed_lock;
std::vector<Printed> printed_log;
}  // namespace

std::vector<Printed> printed() {
    std::lock_guard<std::mutex> guard(printed_lock);
    return printed_log;
}

void clear_printed() {
    std::lock_guard<std::mutex> guard(printed_lock);
    printed_log.clear();
}

void record_print(const BasicString* text, int32_t newline) {
    std::lock_guard<std::mutex> guard(printed_lock);
    if (!text || text->length == 0) {
        // PRINT ends its line by printing "" with a line end.
        if (newline && !printed_log.empty()) printed_log.back().newline = true;
        return;
    }
    printed_log.push_back({current_row(), std::string(reinterpret_cast<const char*>(text->chars), size_t(text->length)),
                           newline != 0});
}

std::string dump() {
    std::string out;
    auto lines = rows();
    for (int r = 0; r < 30; ++r) {
        char number[8];
        std::snprintf(number, sizeof number, "%2d|", r + 1);
        out += number + lines[r] + "|\n";
    }
    return out;
}

}  // namespace game_driver
