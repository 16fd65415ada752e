#include <gtest/gtest.h>

#include <string>

#include "runtime/core/clock.h"
#include "runtime/core/memory.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"
#include "runtime/values/basic_string.h"
#include "runtime/window/input.h"
#include "runtime/window/keyboard.h"
#include "runtime/window/timing.h"
#include "tests/screen/fixture.h"

namespace {

std::string text_of(BasicString* s) { return std::string(reinterpret_cast<char*>(s->chars), size_t(s->length)); }

int64_t fake_now = 0;
int64_t press_at = -1;  // the fake clock time of a key press during a wait
int32_t press_code = 0;
int64_t fake_clock() { return fake_now; }
void fake_wait(uint32_t ms) {
    fake_now += ms;
    if (press_at >= 0 && fake_now >= press_at) {
        press_at = -1;
        key_down(press_code);
    }
}

class KeyInput : public ::testing::Test {
protected:
    void SetUp() override {
        init_trap_tables();
        keyboard_reset();
        pending_error = 0;
        stop_requested = 0;
        fake_now = 1000;
        press_at = -1;
        set_clock_source(fake_clock);
        set_wait_function(fake_wait);
    }
    void TearDown() override {
        set_clock_source(nullptr);
        set_wait_function(nullptr);
        keyboard_reset();
    }
};

TEST_F(KeyInput, InkeyOnAnEmptyBufferLeavesItAlone) {
    EXPECT_EQ(text_of(basic_inkey()), "");
    EXPECT_EQ(bios_word(BIOS_KEY_HEAD).load(), 0x1E);
    EXPECT_EQ(bios_word(BIOS_KEY_TAIL).load(), 0x1E);
}

TEST_F(KeyInput, InkeyGivesExtendedKeysAsTwoCharacters) {
    key_down(0x3B00);
    EXPECT_EQ(text_of(basic_inkey()), std::string("\0\x3B", 2));
    key_down(0xE9);  // a character without a key: itself alone
    EXPECT_EQ(text_of(basic_inkey()), "\xE9");
}

TEST_F(KeyInput, FifteenKeysComeBackInOrderAcrossTheWrap) {
    std::string typed, read;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 15; ++i) {
            char c = char('a' + (i + round * 7) % 26);
            typed += c;
            key_down(c);
            key_up(c);
        }
        for (int i = 0; i < 15; ++i) read += text_of(basic_inkey());
    }
    EXPECT_EQ(read, typed);
    EXPECT_EQ(bios_word(BIOS_KEY_HEAD).load(), bios_word(BIOS_KEY_TAIL).load());
}

TEST_F(KeyInput, ReadKeyHitGivesPressReleaseThenZero) {
    key_down(13);
    key_up(13);
    EXPECT_EQ(read_key_hit(), 13);
    EXPECT_EQ(read_key_hit(), -13);
    EXPECT_EQ(read_key_hit(), 0);
    EXPECT_EQ(last_key_hit(), -13);
}

TEST_F(KeyInput, SleepEndsAtItsTimeOrAtAKey) {
    basic_sleep(2, 1);
    EXPECT_EQ(fake_now, 3000);
    press_at = fake_now + 500;
    press_code = 'k';
    basic_sleep(2, 1);
    EXPECT_LT(fake_now, 3000 + 520);
    EXPECT_EQ(text_of(basic_inkey()), "k");  // SLEEP leaves the key in the buffer
}

TEST_F(KeyInput, ShiftEndsSleepButGivesInkeyNothing) {
    key_down('z');  // before SLEEP: does not end it
    basic_inkey();
    press_at = fake_now + 300;
    press_code = KEY_LEFT_SHIFT;
    basic_sleep(0, 0);
    EXPECT_EQ(fake_now, 1000 + 306);  // 9 ms steps
    EXPECT_EQ(text_of(basic_inkey()), "");
}

TEST(InputCheck, FieldsAgainstTypes) {
    struct Case {
        const char* line;
        int32_t type;
        bool fits;
    };
    const Case cases[] = {
        {"a", INPUT_INT16, false},        {"&H", INPUT_INT16, true},
        {"&", INPUT_INT16, true},         {"&h7fFF", INPUT_INT16, true},
        {"&HFFFF", INPUT_INT16, true},    {"&H10000", INPUT_INT16, false},
        {"&O", INPUT_INT32, true},        {"&O7777777777777777777777", INPUT_UINT64, false},
        {"&O1777777777777777777777", INPUT_UINT64, true},
        {"&HFFFFFFFFFFFFFFFF", INPUT_INT64, true}, {"&H1FFFFFFFFFFFFFFFF", INPUT_INT64, false},
        {"&X", INPUT_INT16, false},
        {"-", INPUT_INT16, true},         {"-", INPUT_DOUBLE, true},
        {"-", INPUT_UINT8, false},        {"32767", INPUT_INT16, true},
        {"32768", INPUT_INT16, false},    {"-32768", INPUT_INT16, true},
        {"-32769", INPUT_INT16, false},   {"255", INPUT_UINT8, true},
        {"256", INPUT_UINT8, false},      {"01", INPUT_INT32, false},
        {"0", INPUT_INT32, true},         {"1.5", INPUT_INT32, false},
        {"9223372036854775807", INPUT_INT64, true},
        {"9223372036854775808", INPUT_INT64, false},
        {"-9223372036854775808", INPUT_INT64, true},
        {"18446744073709551615", INPUT_UINT64, true},
        {"18446744073709551616", INPUT_UINT64, false},
        {".", INPUT_SINGLE, true},        {".5", INPUT_SINGLE, true},
        {"0.5", INPUT_SINGLE, true},      {"00.5", INPUT_SINGLE, false},
        {"1.2345678", INPUT_SINGLE, true}, {"1.23456789", INPUT_SINGLE, false},
        {"0.0012345678", INPUT_SINGLE, true}, {"123456789", INPUT_SINGLE, true},
        {"1.23456789", INPUT_DOUBLE, true}, {"1e", INPUT_SINGLE, true},
        {"1E-", INPUT_SINGLE, true},      {"1.5E-45", INPUT_SINGLE, true},
        {"1E-46", INPUT_SINGLE, false},   {"3.4E38", INPUT_SINGLE, true},
        {"3.5E38", INPUT_SINGLE, false},  {"1D5", INPUT_SINGLE, false},
        {"1D5", INPUT_DOUBLE, true},      {"1E309", INPUT_DOUBLE, false},
        {"1E309", INPUT_FLOAT, true},     {"1.5x", INPUT_DOUBLE, false},
        {"anything, at all", INPUT_STRING, false},  // two fields, one variable
        {"\"a, b\"", INPUT_STRING, true}, {"\"a\" x", INPUT_STRING, false},
        {"\"unclosed, so far", INPUT_STRING, true}, {"\"7\"", INPUT_INT16, false},
        {" 12 ", INPUT_INT16, true},      {"", INPUT_INT16, true},
    };
    for (const Case& c : cases) {
        std::string line = c.line;
        EXPECT_EQ(input_line_fits(reinterpret_cast<const uint8_t*>(line.data()), int32_t(line.size()), &c.type, 1),
                  c.fits)
            << '"' << line << "\" type " << c.type;
    }
}

TEST(InputCheck, MoreFieldsThanVariablesDoNotFit) {
    const int32_t types[2] = {INPUT_INT16, INPUT_STRING};
    const std::string ok = "5,\"x,y\"", too_many = "5,x,";
    EXPECT_TRUE(input_line_fits(reinterpret_cast<const uint8_t*>(ok.data()), int32_t(ok.size()), types, 2));
    EXPECT_FALSE(input_line_fits(reinterpret_cast<const uint8_t*>(too_many.data()), int32_t(too_many.size()), types, 2));
}

TEST(InputCheck, StoresEveryKind) {
    int16_t a = 9;
    double b = 9;
    float c = 9;
    uint8_t d = 9;
    int64_t e = 9;
    BasicString* s = string_new(0, 0);
    InputVariable vars[] = {{INPUT_INT16, &a}, {INPUT_DOUBLE, &b}, {INPUT_SINGLE, &c},
                            {INPUT_UINT8, &d}, {INPUT_INT64, &e}, {INPUT_STRING, s}};
    const std::string line = "&HFFFF, 2.5D3 ,-1.5e2,200, \" hi, there \"";
    store_input_fields(reinterpret_cast<const uint8_t*>(line.data()), int32_t(line.size()), vars, 6);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 2500.0);
    EXPECT_EQ(c, -150.0f);
    EXPECT_EQ(d, 200);
    EXPECT_EQ(e, 0);  // a quoted field is no number; the check would refuse it
    EXPECT_EQ(text_of(s), "");
    const std::string second = "1,2,3,4, \" hi, there \"";
    InputVariable shifted[] = {vars[0], vars[1], vars[2], vars[3], vars[5]};
    store_input_fields(reinterpret_cast<const uint8_t*>(second.data()), int32_t(second.size()), shifted, 5);
    EXPECT_EQ(text_of(s), " hi, there ");
    store_input_fields(nullptr, 0, vars, 1);  // no field: 0
    EXPECT_EQ(a, 0);
}

class Editor : public KeyInput {
protected:
    void SetUp() override {
        KeyInput::SetUp();
        fresh_screen(0);
        auto_display = 0;
    }
    static void type(const std::string& keys) {
        for (char c : keys) {
            key_down(uint8_t(c));
            key_up(uint8_t(c));
        }
    }
};

TEST_F(Editor, NumericInputRefusesALetterAndKeepsAValidPrefix) {
    int16_t value = 0;
    InputVariable v{INPUT_INT16, &value};
    type("1x2\b3\r");
    input_variables(&v, 1, 1);
    EXPECT_EQ(value, 13);
    EXPECT_EQ(row_text(write_image, 1).substr(0, 3), "13 ");
    EXPECT_EQ(write_image->cursor_row, 2);
    EXPECT_EQ(auto_display.load(), 0);  // the presentation mode of before
    EXPECT_EQ(pending_error.load(), 0);
}

TEST_F(Editor, LineInputTakesCommasAndQuotes) {
    BasicString* s = string_new(0, 0);
    type("a, \"b\"\tc\r");
    line_input(s, 0);
    EXPECT_EQ(text_of(s), "a, \"b\"  c");
    EXPECT_EQ(write_image->cursor_row, 1);
}

TEST_F(Editor, ExtendedKeysAndControlCodesAreIgnored) {
    BasicString* s = string_new(0, 0);
    key_down(0x4800);  // Up
    type(std::string("\x0c\x1cok\r"));
    line_input(s, 1);
    EXPECT_EQ(text_of(s), "ok");
}

}  // namespace
