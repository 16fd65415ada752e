// The key table: what each key gives with no modifier, Shift, Ctrl and Alt,
// as the PC BIOS keyboard service reports it for the enhanced US keyboard.
#pragma once
#include <array>
#include <cstdint>

struct KeyTableEntry {
    int32_t code;   // the key's own KeyCode
    int32_t scan;   // its scan code, 0 when it has none
    int32_t plain, shift, ctrl, alt;  // < 256 character, else scan × 256; 0 nothing
};

// Entries 0..255 by character, 256 + scan code for extended keys.
constexpr int KEY_TABLE_SIZE = 512;
extern const std::array<KeyTableEntry, KEY_TABLE_SIZE> KEY_TABLE;

// The entry for a KeyCode below 65536 (characters and extended keys).
inline const KeyTableEntry& key_table_entry(int32_t code) {
    return code < 256 ? KEY_TABLE[code] : KEY_TABLE[256 + ((code >> 8) & 0xFF)];
}
