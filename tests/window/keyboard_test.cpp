#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/memory.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"
#include "runtime/window/key_table.h"
#include "runtime/window/keyboard.h"

namespace {

struct Pair {
    uint8_t character, scan;
    bool operator==(const Pair&) const = default;
};

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        init_trap_tables();
        pause_flags = 0;
        program_ended = 0;
        exit_request = 0;
        exit_handled_by_program = 0;
        keyboard_reset();
    }
    void TearDown() override {
        for (KeyTrap& t : key_traps) {
            t.handler = 0;
            t.state = 0;
            t.pending_count = 0;
        }
        pause_flags = 0;
        program_ended = 0;
        exit_request = 0;
    }
    static void tap(int32_t code) {
        key_down(code);
        key_up(code);
    }
    static std::vector<int32_t> hits() {
        std::vector<int32_t> out;
        while (int32_t v = read_key_hit()) out.push_back(v);
        return out;
    }
    // Reads the BIOS ring without moving its head.
    static std::vector<Pair> bios() {
        std::vector<Pair> out;
        uint8_t head = bios_byte(BIOS_KEY_HEAD), tail = bios_byte(BIOS_KEY_TAIL);
        while (head != tail) {
            out.push_back({ConventionalMemory[0x400 + head], ConventionalMemory[0x401 + head]});
            head = head == BIOS_KEY_RING_LAST ? BIOS_KEY_RING_FIRST : head + 2;
        }
        return out;
    }
    static std::vector<int> port() {
        std::vector<int> out;
        while (scan_code_count()) out.push_back(take_scan_code());
        return out;
    }
};

TEST_F(Keyboard, LetterPressAndReleaseQueuesBothAndBuffersOnce) {
    tap('a');
    EXPECT_EQ(hits(), (std::vector<int32_t>{97, -97}));
    EXPECT_EQ(bios(), (std::vector<Pair>{{97, 30}}));
    EXPECT_EQ(port(), (std::vector<int>{30, 158}));
}

TEST_F(Keyboard, ModifierColumnsChooseTheStoredPair) {
    struct Case {
        std::vector<int32_t> held;
        int32_t key;
        Pair stored;
    };
    const Case cases[] = {
        {{KEY_LEFT_SHIFT}, 0x3B00, {0, 0x54}},     // Shift+F1
        {{KEY_RIGHT_CTRL}, 0x3B00, {0, 0x5E}},     // Ctrl+F1
        {{KEY_LEFT_ALT}, 'x', {0, 0x2D}},          // Alt+x
        {{KEY_LEFT_CTRL}, '2', {0, 0x03}},         // Ctrl+2 gives NUL
        {{KEY_LEFT_CTRL}, 0x4800, {0, 0x8D}},      // Ctrl+Up
        {{}, '\t', {9, 15}},
        {{KEY_LEFT_SHIFT}, '\t', {0, 0x0F}},       // Shift+Tab
        {{}, 0xE9, {0xE9, 0}},                     // a character without a key
        {{}, 0x7000, {0, 0x70}},                   // an extended code without a key
        {{}, 0x5300, {0, 0x53}},
    };
    for (const Case& c : cases) {
        keyboard_reset();
        for (int32_t h : c.held) key_down(h);
        key_down(c.key);
        EXPECT_EQ(bios(), (std::vector<Pair>{c.stored})) << "key " << c.key;
        EXPECT_EQ(hits().back(), c.key);
    }
}

TEST_F(Keyboard, CombinationThatGivesNothingStoresNothing) {
    key_down(KEY_LEFT_CTRL);
    key_down('1');
    EXPECT_TRUE(bios().empty());
    EXPECT_EQ(hits(), (std::vector<int32_t>{KEY_LEFT_CTRL, '1'}));
}

TEST_F(Keyboard, WindowCharacterRules) {
    struct Case {
        uint8_t from_window;
        bool ctrl, shift;
        int32_t queued;
        Pair stored;
    };
    const Case cases[] = {
        {3, true, false, 'c', {3, 46}},       // Ctrl+C
        {3, true, true, 'C', {3, 46}},        // Ctrl+Shift+C
        {10, true, false, 13, {10, 28}},      // Ctrl+Enter
        {127, false, false, 0x5300, {0, 0x53}},  // Delete
    };
    for (const Case& c : cases) {
        keyboard_reset();
        if (c.ctrl) key_down(KEY_LEFT_CTRL);
        if (c.shift) key_down(KEY_LEFT_SHIFT);
        hits();
        window_character_key(c.from_window, true, c.ctrl, c.shift);
        window_character_key(c.from_window, false, c.ctrl, c.shift);
        EXPECT_EQ(hits(), (std::vector<int32_t>{c.queued, -c.queued})) << int(c.from_window);
        EXPECT_EQ(bios(), (std::vector<Pair>{c.stored})) << int(c.from_window);
    }
}

TEST_F(Keyboard, SpecialKeysMapAndUnknownOnesAreIgnored) {
    window_special_key(1, true);     // F1
    window_special_key(12, true);    // F12
    window_special_key(0x70, true);  // left Shift
    window_special_key(0x6D, true);  // Num Lock: not a key of ours
    EXPECT_EQ(hits(), (std::vector<int32_t>{0x3B00, 0x8600, KEY_LEFT_SHIFT}));
}

TEST_F(Keyboard, BiosBufferHoldsFifteenQueueHoldsAll) {
    for (int i = 0; i < 16; ++i) key_down('a' + i);
    std::vector<Pair> stored = bios();
    ASSERT_EQ(stored.size(), 15u);
    EXPECT_EQ(stored.back().character, 'a' + 14);
    EXPECT_EQ(hits().size(), 16u);
}

TEST_F(Keyboard, QueueKeepsTheNewest8191) {
    for (int i = 1; i <= KEY_HIT_QUEUE_SIZE; ++i) key_down(0x100000 + i);
    std::vector<int32_t> all = hits();
    ASSERT_EQ(all.size(), 8191u);
    EXPECT_EQ(all.front(), 0x100000 + 2);
    EXPECT_EQ(all.back(), 0x100000 + KEY_HIT_QUEUE_SIZE);
}

TEST_F(Keyboard, ScanCodeBufferRules) {
    EXPECT_EQ(take_scan_code(), 0x81);  // before any key
    key_down('a');
    key_down('a');  // held: repeated make code is not added again
    key_up('a');
    key_down('a');
    EXPECT_EQ(port(), (std::vector<int>{30, 158, 30}));
    EXPECT_EQ(take_scan_code(), 30);  // the byte read last, again and again
    for (int i = 0; i < 300; ++i) tap(i % 2 ? 'a' : 'b');
    EXPECT_EQ(scan_code_count(), SCAN_CODE_BUFFER_SIZE);
}

TEST_F(Keyboard, StatusBytesFollowTheKeys) {
    key_down(KEY_SCROLL_LOCK);  // a fresh press without Ctrl turns Scroll Lock on
    key_down(KEY_LEFT_SHIFT);
    key_down(KEY_RIGHT_CTRL);
    key_down(KEY_LEFT_ALT);
    key_down(0x5200);           // Insert with Shift held: no toggle
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0x02 | 0x04 | 0x08 | 0x10);
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_2).load(), 0x02 | 0x10 | 0x80);
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_3).load(), 0x04 | 0x10);
    keyboard_reset();
    tap(0x5200);
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0x80);  // Insert mode on
    tap(0x5200);
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0x00);
}

TEST_F(Keyboard, PauseHoldsAndTheNextKeyResumes) {
    key_down(KEY_PAUSE);
    EXPECT_EQ(pause_flags.load() & 1, 1);
    EXPECT_EQ(check_pending.load(), 1);
    key_down('x');  // swallowed: ends the pause
    EXPECT_EQ(pause_flags.load() & 1, 0);
    EXPECT_TRUE(bios().empty());
    key_down(KEY_LEFT_CTRL);
    key_down(KEY_NUM_LOCK);  // Ctrl+Num Lock pauses as well
    EXPECT_EQ(pause_flags.load() & 1, 1);
}

TEST_F(Keyboard, BreakEndsTheProgramOrTellsIt) {
    key_down(KEY_BREAK);
    EXPECT_EQ(program_ended.load(), 1);
    program_ended = 0;
    exit_handled_by_program = 1;
    key_down(KEY_BREAK);
    EXPECT_EQ(program_ended.load(), 0);
    EXPECT_EQ(exit_request.load(), 2u);
    exit_handled_by_program = 0;
}

TEST_F(Keyboard, AltEnterIsNotStored) {
    key_down(KEY_RIGHT_ALT);
    hits();
    tap(13);
    EXPECT_TRUE(bios().empty());
    EXPECT_EQ(hits(), (std::vector<int32_t>{-13}));
}

TEST_F(Keyboard, TrappedKeyGoesNowhereElse) {
    key_traps[1].handler = 7;  // F1
    key_traps[1].state = 1;
    tap(0x3B00);
    tap(0x3B00);
    EXPECT_EQ(key_traps[1].pending_count.load(), 2);
    EXPECT_TRUE(hits().empty());  // neither press nor release
    EXPECT_TRUE(bios().empty());
}

TEST_F(Keyboard, UserTrapMatchesScanCodeAndShiftStates) {
    const uint8_t ctrl_a[] = {0x04, 30};
    set_key_text(15, ctrl_a, 2);
    key_traps[15].handler = 9;
    key_traps[15].state = 2;  // stopped: a hit is remembered once
    tap('a');                 // without Ctrl: not trapped
    key_down(KEY_LEFT_CTRL);
    tap('a');
    tap('a');
    EXPECT_EQ(key_traps[15].pending_count.load(), 1);
    EXPECT_EQ(hits(), (std::vector<int32_t>{'a', -'a', KEY_LEFT_CTRL}));
}

TEST_F(Keyboard, MacroTypesItsTextInsteadOfTheKey) {
    const uint8_t text[] = {'d', 'i', 'r', 13};
    set_key_text(2, text, 4);  // F2
    tap(0x3C00);
    EXPECT_EQ(hits(), (std::vector<int32_t>{'d', -'d', 'i', -'i', 'r', -'r', 13, -13}));
    EXPECT_EQ(bios().size(), 4u);
}

TEST_F(Keyboard, KeyTextErrors) {
    const uint8_t text[16] = {};
    for (int32_t n : {0, 11, 14, 32, -1}) {
        pending_error = 0;
        set_key_text(n, text, 1);
        EXPECT_EQ(pending_error.load(), 5) << n;
    }
    pending_error = 0;
    set_key_text(1, text, 16);
    EXPECT_EQ(pending_error.load(), 5);
    pending_error = 0;
}

TEST_F(Keyboard, SeedPressesHeldKeysThenEmptiesTheQueue) {
    PlatformKeyboardState s{};
    s.caps_lock = true;
    s.left_shift = true;
    key_down('q');
    keyboard_seed(s);
    EXPECT_TRUE(is_key_down(KEY_CAPS_LOCK));
    EXPECT_TRUE(is_key_down(KEY_LEFT_SHIFT));
    EXPECT_TRUE(hits().empty());
    EXPECT_TRUE(bios().empty());
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0x40 | 0x02);
}

TEST_F(Keyboard, LockSyncFollowsTheRealKeyboard) {
    PlatformKeyboardState s{};
    s.num_lock = true;
    s.scroll_lock = true;
    keyboard_sync_lock_keys(s);
    EXPECT_EQ(hits(), (std::vector<int32_t>{KEY_NUM_LOCK}));
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0x20 | 0x10);
    keyboard_sync_lock_keys(s);  // no change, no event
    EXPECT_TRUE(hits().empty());
    s = {};
    keyboard_sync_lock_keys(s);
    EXPECT_EQ(hits(), (std::vector<int32_t>{-KEY_NUM_LOCK}));
    EXPECT_EQ(bios_byte(BIOS_KEY_STATUS_1).load(), 0);
}

TEST_F(Keyboard, EveryPressWakesSleep) {
    for (int32_t code : {KEY_LEFT_SHIFT, int32_t('a'), KEY_PAUSE}) {
        sleep_wake = 0;
        key_down(code);
        EXPECT_EQ(sleep_wake.load(), 1) << code;
    }
}

TEST_F(Keyboard, ZeroIsKeptAsItsPseudoKey) {
    key_down(0);
    EXPECT_TRUE(is_key_down(KEY_ZERO));
    EXPECT_EQ(hits(), (std::vector<int32_t>{KEY_ZERO}));
    EXPECT_EQ(bios(), (std::vector<Pair>{{0, 3}}));
    key_up(0);
    EXPECT_FALSE(is_key_down(0));
}

TEST(KeyTable, TellingRows) {
    struct Row { int32_t code, scan, plain, shift, ctrl, alt; };
    const Row rows[] = {
        {97, 30, 97, 97, 1, 0x1E00},       {65, 30, 65, 65, 1, 0x1E00},
        {8, 14, 8, 8, 127, 0x0E00},        {9, 15, 9, 0x0F00, 0x9400, 0},
        {13, 28, 13, 13, 10, 0},           {27, 1, 27, 27, 27, 0},
        {32, 57, 32, 32, 32, 0},           {49, 2, 49, 49, 0, 0x7800},
        {64, 3, 64, 64, 0x0300, 0x7900},   {0x3B00, 59, 0x3B00, 0x5400, 0x5E00, 0x6800},
        {0x4800, 72, 0x4800, 0x4800, 0x8D00, 0x9800},
        {0x5300, 83, 0x5300, 0x5300, 0x9300, 0xA300},
        {0x8600, 88, 0x8600, 0x8600, 0x8A00, 0x8C00},
        {200, 0, 200, 200, 200, 200},
    };
    for (const Row& r : rows) {
        const KeyTableEntry& e = key_table_entry(r.code);
        EXPECT_EQ(e.code, r.code);
        EXPECT_EQ((std::vector<int32_t>{e.scan, e.plain, e.shift, e.ctrl, e.alt}),
                  (std::vector<int32_t>{r.scan, r.plain, r.shift, r.ctrl, r.alt}))
            << "code " << r.code;
    }
}

}  // namespace
