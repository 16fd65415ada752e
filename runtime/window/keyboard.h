// Key events and the stores the program reads them from: the keys-down
// list, the key-hit queue, the BIOS keyboard buffer with its status bytes,
// and the scan-code buffer behind the keyboard data port.
#pragma once
#include <cstdint>

#include "platform/keyboard_state.h"

// KeyCodes of modifier, lock and special keys.
constexpr int32_t KEY_PAUSE = 100019;
constexpr int32_t KEY_NUM_LOCK = 100300;
constexpr int32_t KEY_CAPS_LOCK = 100301;
constexpr int32_t KEY_SCROLL_LOCK = 100302;
constexpr int32_t KEY_RIGHT_SHIFT = 100303;
constexpr int32_t KEY_LEFT_SHIFT = 100304;
constexpr int32_t KEY_RIGHT_CTRL = 100305;
constexpr int32_t KEY_LEFT_CTRL = 100306;
constexpr int32_t KEY_RIGHT_ALT = 100307;
constexpr int32_t KEY_LEFT_ALT = 100308;
constexpr int32_t KEY_BREAK = 100318;
// Pseudo-keys of the keys-down list.
constexpr int32_t KEY_SCROLL_LOCK_ON = 200011;
constexpr int32_t KEY_INSERT_MODE = 200012;
constexpr int32_t KEY_ZERO = 200013;

constexpr int32_t KEY_HIT_QUEUE_SIZE = 8192;
constexpr int32_t SCAN_CODE_BUFFER_SIZE = 256;

// BIOS data area addresses of the keyboard.
constexpr uint32_t BIOS_KEY_STATUS_1 = 0x417;
constexpr uint32_t BIOS_KEY_STATUS_2 = 0x418;
constexpr uint32_t BIOS_KEY_STATUS_3 = 0x496;
constexpr uint32_t BIOS_KEY_HEAD = 0x41A;
constexpr uint32_t BIOS_KEY_TAIL = 0x41C;
constexpr uint8_t BIOS_KEY_RING_FIRST = 0x1E;
constexpr uint8_t BIOS_KEY_RING_LAST = 0x3C;

// The two entry points. Safe to call from any thread: events are handled
// one at a time.
void key_down(int32_t key_code);
void key_up(int32_t key_code);

bool is_key_down(int32_t key_code);

// The oldest press (KeyCode) or release (-KeyCode), or 0 when none.
int32_t read_key_hit();
int32_t last_key_hit();

void update_keyboard_status();

// Key sources of the window. Character keys arrive as the window types
// them; special keys by the windowing library's key numbers.
void window_character_key(uint8_t character, bool down, bool ctrl_held, bool shift_held);
void window_special_key(int special_key, bool down);

// Presses the held and locked keys that state reports, then empties the
// queue and the BIOS buffer.
void keyboard_seed(const PlatformKeyboardState& state);
// Brings Scroll, Caps and Num Lock in step with state.
void keyboard_sync_lock_keys(const PlatformKeyboardState& state);

// KEY n, text: a function-key macro (n 1-10, 30, 31) or a user key trap
// definition (n 15-29). Raises error 5 for other n or a macro over 15.
void set_key_text(int32_t n, const uint8_t* text, int32_t length);

// The keyboard data port: the oldest scan code, removed; with none
// buffered, the last one read (0x81 before any).
uint8_t take_scan_code();
int32_t scan_code_count();

// Everything back to the start-up state (tests).
void keyboard_reset();
