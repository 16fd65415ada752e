// The table is built from one row per physical key; every character a key
// can type (both cases, both symbols) gets that key's row.
#include "runtime/window/key_table.h"


namespace {

constexpr int32_t ext(int32_t scan) { return scan << 8; }

struct Builder {
    std::array<KeyTableEntry, KEY_TABLE_SIZE> t{};

    constexpr void character(int32_t c, int32_t scan, int32_t ctrl, int32_t alt) {
        t[c] = {c, scan, c, c, ctrl, alt};
    }
    // A key of the typing area: its unshifted and shifted characters.
    constexpr void typing_key(int32_t c, int32_t shifted, int32_t scan, int32_t ctrl, int32_t alt) {
        character(c, scan, ctrl, alt);
        character(shifted, scan, ctrl, alt);
    }
    constexpr void extended(int32_t scan_code_key, int32_t scan, int32_t plain, int32_t shift,
                            int32_t ctrl, int32_t alt) {
        t[256 + scan_code_key] = {ext(scan_code_key), scan, plain, shift, ctrl, alt};
    }
};

constexpr std::array<KeyTableEntry, KEY_TABLE_SIZE> build() {
    Builder b;
    // Codes without a key of their own keep scan code 0: a character is
    // stored as itself, an extended code as 0 and its high byte.
    for (int32_t c = 0; c < 256; ++c) b.t[c] = {c, 0, c, c, c, c};
    for (int32_t s = 0; s < 256; ++s) b.t[256 + s] = {ext(s), 0, ext(s), ext(s), ext(s), ext(s)};

    // Letters: Ctrl gives the control character, Alt the scan code.
    constexpr int32_t LETTER_SCANS[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                          0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                          0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int32_t i = 0; i < 26; ++i) {
        int32_t s = LETTER_SCANS[i];
        b.typing_key('a' + i, 'A' + i, s, i + 1, ext(s));
        // The control characters themselves, as a macro text may carry them.
        b.t[i + 1] = {i + 1, s, i + 1, i + 1, i + 1, ext(s)};
    }

    // The digit row: Alt+1..Alt+= give 0x78..0x83.
    b.typing_key('1', '!', 0x02, 0, ext(0x78));
    b.typing_key('2', '@', 0x03, ext(0x03), ext(0x79));
    b.typing_key('3', '#', 0x04, 0, ext(0x7A));
    b.typing_key('4', '$', 0x05, 0, ext(0x7B));
    b.typing_key('5', '%', 0x06, 0, ext(0x7C));
    b.typing_key('6', '^', 0x07, 30, ext(0x7D));
    b.typing_key('7', '&', 0x08, 0, ext(0x7E));
    b.typing_key('8', '*', 0x09, 0, ext(0x7F));
    b.typing_key('9', '(', 0x0A, 0, ext(0x80));
    b.typing_key('0', ')', 0x0B, 0, ext(0x81));
    b.typing_key('-', '_', 0x0C, 31, ext(0x82));
    b.typing_key('=', '+', 0x0D, 0, ext(0x83));

    b.typing_key('[', '{', 0x1A, 27, ext(0x1A));
    b.typing_key(']', '}', 0x1B, 29, ext(0x1B));
    b.typing_key(';', ':', 0x27, 0, ext(0x27));
    b.typing_key('\'', '"', 0x28, 0, ext(0x28));
    b.typing_key('`', '~', 0x29, 0, ext(0x29));
    b.typing_key('\\', '|', 0x2B, 28, ext(0x2B));
    b.typing_key(',', '<', 0x33, 0, ext(0x33));
    b.typing_key('.', '>', 0x34, 0, ext(0x34));
    b.typing_key('/', '?', 0x35, 0, ext(0x35));

    // Control keys of the typing area.
    b.t[8] = {8, 0x0E, 8, 8, 127, ext(0x0E)};          // Backspace
    b.t[127] = {127, 0x0E, 127, 127, 127, ext(0x0E)};  // Ctrl+Backspace
    b.t[9] = {9, 0x0F, 9, ext(0x0F), ext(0x94), 0};    // Tab
    b.t[13] = {13, 0x1C, 13, 13, 10, 0};               // Enter
    b.t[10] = {10, 0x1C, 10, 10, 10, 0};               // Ctrl+Enter
    b.t[27] = {27, 0x01, 27, 27, 27, 0};               // Esc
    b.t[32] = {32, 0x39, 32, 32, 32, 0};               // Space
    b.t[28] = {28, 0x2B, 28, 28, 28, 0};               // Ctrl+backslash
    b.t[29] = {29, 0x1B, 29, 29, 29, 0};               // Ctrl+]
    b.t[30] = {30, 0x07, 30, 30, 30, 0};               // Ctrl+6
    b.t[31] = {31, 0x0C, 31, 31, 31, 0};               // Ctrl+minus
    b.t[0] = {0, 0x03, ext(0x03), ext(0x03), ext(0x03), 0};  // Ctrl+2

    // Function keys: Shift, Ctrl and Alt move F1..F10 to 0x54, 0x5E, 0x68.
    for (int32_t i = 0; i < 10; ++i)
        b.extended(0x3B + i, 0x3B + i, ext(0x3B + i), ext(0x54 + i), ext(0x5E + i), ext(0x68 + i));
    b.extended(0x85, 0x57, ext(0x85), ext(0x87), ext(0x89), ext(0x8B));  // F11
    b.extended(0x86, 0x58, ext(0x86), ext(0x86), ext(0x8A), ext(0x8C));  // F12

    // The grey cursor and editing keys.
    b.extended(0x47, 0x47, ext(0x47), ext(0x47), ext(0x77), ext(0x97));  // Home
    b.extended(0x48, 0x48, ext(0x48), ext(0x48), ext(0x8D), ext(0x98));  // Up
    b.extended(0x49, 0x49, ext(0x49), ext(0x49), ext(0x84), ext(0x99));  // Page Up
    b.extended(0x4B, 0x4B, ext(0x4B), ext(0x4B), ext(0x73), ext(0x9B));  // Left
    b.extended(0x4D, 0x4D, ext(0x4D), ext(0x4D), ext(0x74), ext(0x9D));  // Right
    b.extended(0x4F, 0x4F, ext(0x4F), ext(0x4F), ext(0x75), ext(0x9F));  // End
    b.extended(0x50, 0x50, ext(0x50), ext(0x50), ext(0x91), ext(0xA0));  // Down
    b.extended(0x51, 0x51, ext(0x51), ext(0x51), ext(0x76), ext(0xA1));  // Page Down
    b.extended(0x52, 0x52, ext(0x52), ext(0x52), ext(0x92), ext(0xA2));  // Insert
    b.extended(0x53, 0x53, ext(0x53), ext(0x53), ext(0x93), ext(0xA3));  // Delete
    b.extended(0x4C, 0x4C, 0, 0, ext(0x8F), 0);                          // keypad 5
    return b.t;
}

}  // namespace

// Built at compile time; the declaration in the header gives it external linkage.
constexpr std::array<KeyTableEntry, KEY_TABLE_SIZE> KEY_TABLE = build();
