// Key events into the key stores. Events come from the main thread (the
// window) and the housekeeping thread (lock keys); one mutex takes them one
// at a time, and the program thread's readers of the shared rings take it
// too, because a full ring is trimmed by the producer.
#include "runtime/window/keyboard.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

#include "runtime/core/errors.h"
#include "runtime/core/memory.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"
#include "runtime/window/key_table.h"

namespace {

struct KeyHit {
    int32_t value;
    int32_t flags;  // 0 for every key the window gives
};

// What KEY n, text defines beside the trap tables.
struct KeyDefinition {
    int32_t scan_code;     // user traps 15-29; 0 none
    uint8_t shift_states;  // user traps: required Shift, Ctrl, Alt, lock states
    uint8_t macro_length;
    uint8_t macro[15];
};

constexpr int SWALLOW_CAPACITY = 256;

std::recursive_mutex key_lock;
std::vector<int32_t> keys_down;
std::array<KeyHit, KEY_HIT_QUEUE_SIZE> key_hits;
std::atomic<int32_t> hit_write{0}, hit_read{0};
std::atomic<int32_t> last_hit{0};
std::array<uint8_t, SCAN_CODE_BUFFER_SIZE> scan_codes;
int32_t scan_count = 0;
std::array<int32_t, SWALLOW_CAPACITY> swallowed;  // 0: free entry
KeyDefinition key_definitions[KEY_TRAP_COUNT];

bool held(int32_t code) { return std::find(keys_down.begin(), keys_down.end(), code) != keys_down.end(); }
bool shift_held() { return held(KEY_LEFT_SHIFT) || held(KEY_RIGHT_SHIFT); }
bool ctrl_held() { return held(KEY_LEFT_CTRL) || held(KEY_RIGHT_CTRL); }
bool alt_held() { return held(KEY_LEFT_ALT) || held(KEY_RIGHT_ALT); }

void add_down(int32_t code) {
    if (!held(code)) keys_down.push_back(code);
}
void remove_down(int32_t code) {
    auto it = std::find(keys_down.begin(), keys_down.end(), code);
    if (it != keys_down.end()) keys_down.erase(it);
}
void toggle_down(int32_t code) {
    if (held(code)) remove_down(code); else add_down(code);
}

void queue_hit(int32_t value) {
    int32_t write = hit_write.load(std::memory_order_relaxed);
    int32_t next = (write + 1) % KEY_HIT_QUEUE_SIZE;
    if (next == hit_read.load()) hit_read = (next + 1) % KEY_HIT_QUEUE_SIZE;
    key_hits[write] = {value, 0};
    hit_write.store(next, std::memory_order_release);
}

void add_scan_code(uint8_t byte) {
    if (scan_count && scan_codes[scan_count - 1] == byte) return;
    if (scan_count == SCAN_CODE_BUFFER_SIZE) {
        std::copy(scan_codes.begin() + 1, scan_codes.end(), scan_codes.begin());
        --scan_count;
    }
    scan_codes[scan_count++] = byte;
}

bool is_modifier(int32_t code) { return code >= KEY_NUM_LOCK && code <= KEY_LEFT_ALT; }

uint8_t modifier_scan_code(int32_t code) {
    switch (code) {
        case KEY_LEFT_SHIFT: return 42;
        case KEY_RIGHT_SHIFT: return 54;
        case KEY_LEFT_CTRL: case KEY_RIGHT_CTRL: return 29;
        case KEY_LEFT_ALT: case KEY_RIGHT_ALT: return 56;
        case KEY_NUM_LOCK: return 69;
        case KEY_CAPS_LOCK: return 58;
        default: return 70;  // Scroll Lock
    }
}

// The key's scan code for traps and the data port; 0 when it has none.
int32_t scan_code_of(int32_t code) {
    if (code == KEY_ZERO) code = 0;
    if (code >= 0 && code < 65536) return key_table_entry(code).scan;
    if (is_modifier(code)) return modifier_scan_code(code);
    return 0;
}

void store_bios_pair(uint8_t character, uint8_t scan) {
    uint8_t tail = bios_byte(BIOS_KEY_TAIL).load();
    uint8_t next = tail + 2 == BIOS_KEY_RING_LAST + 2 ? BIOS_KEY_RING_FIRST : uint8_t(tail + 2);
    if (next == bios_byte(BIOS_KEY_HEAD).load()) return;  // full: the new key is dropped
    bios_byte(0x400 + tail).store(character);
    bios_byte(0x401 + tail).store(scan);
    bios_word(BIOS_KEY_TAIL).store(next);
}

int32_t column_value(const KeyTableEntry& e) {
    if (alt_held()) return e.alt;
    if (ctrl_held()) return e.ctrl;
    if (shift_held()) return e.shift;
    return e.plain;
}

void store_value(int32_t value, int32_t scan) {
    if (value == 0) return;
    if (value & 0xFF00) store_bios_pair(0, uint8_t(value >> 8));
    else store_bios_pair(uint8_t(value), uint8_t(scan));
}

void put_into_bios(int32_t code, bool insert_was_down, bool scroll_was_down) {
    if (code == KEY_ZERO) code = 0;
    if (code >= 0 && code < 256) {
        const KeyTableEntry& e = KEY_TABLE[code];
        if (!e.scan) return store_bios_pair(uint8_t(code), 0);
        add_scan_code(uint8_t(e.scan));
        return store_value(column_value(e), e.scan);
    }
    if (code < 65536 && code > 0) {
        const KeyTableEntry& e = key_table_entry(code);
        if (!e.scan) return store_bios_pair(0, uint8_t(code >> 8));
        add_scan_code(uint8_t(e.scan));
        if (code == 0x5200) {
            if (!insert_was_down && !shift_held() && !ctrl_held() && !alt_held()) toggle_down(KEY_INSERT_MODE);
            update_keyboard_status();  // the Insert-held bit, toggled or not
        }
        return store_value(column_value(e), e.scan);
    }
    if (is_modifier(code)) {
        add_scan_code(modifier_scan_code(code));
        if (code == KEY_SCROLL_LOCK && !scroll_was_down && !ctrl_held()) toggle_down(KEY_SCROLL_LOCK_ON);
        update_keyboard_status();
    }
}

void swallow_release(int32_t code) {
    for (int32_t& slot : swallowed)
        if (slot == 0) { slot = code; return; }
}

// Bits of a user trap's required states that the current keys satisfy.
bool shift_states_match(uint8_t required) {
    if (bool(required & 0x03) != shift_held()) return false;
    if (bool(required & 0x04) != ctrl_held()) return false;
    if (bool(required & 0x08) != alt_held()) return false;
    if ((required & 0x20) && !held(KEY_NUM_LOCK)) return false;
    if ((required & 0x40) && !held(KEY_CAPS_LOCK)) return false;
    return true;
}

bool trap_takes(int32_t code) {
    int32_t scan = scan_code_of(code);
    for (int i = 0; i < KEY_TRAP_COUNT; ++i) {
        KeyTrap& t = key_traps[i];
        if (!std::atomic_ref<int32_t>(t.handler).load() || !std::atomic_ref<uint8_t>(t.state).load()) continue;
        const KeyDefinition& d = key_definitions[i];
        bool match = t.key_code == code || t.second_key_code == code ||
                     (d.scan_code && d.scan_code == scan && shift_states_match(d.shift_states));
        if (!match) continue;
        if (std::atomic_ref<uint8_t>(t.state).load() == 1) t.pending_count.fetch_add(1);
        else t.pending_count = 1;
        check_pending = 1;
        swallow_release(code);
        return true;
    }
    return false;
}

void press(int32_t code);
void release(int32_t code);

bool macro_takes(int32_t code) {
    for (int i = 0; i < KEY_TRAP_COUNT; ++i) {
        const KeyDefinition& d = key_definitions[i];
        const KeyTrap& t = key_traps[i];
        if (!d.macro_length || (t.key_code != code && t.second_key_code != code)) continue;
        swallow_release(code);
        KeyDefinition text = d;  // a macro key may redefine itself
        for (int k = 0; k < text.macro_length; ++k) {
            press(text.macro[k]);
            release(text.macro[k]);
        }
        return true;
    }
    return false;
}

void press_steps(int32_t code) {
    if (code == 0) code = KEY_ZERO;
    bool insert_was_down = held(0x5200), scroll_was_down = held(KEY_SCROLL_LOCK);
    add_down(code);
    if (code == KEY_BREAK) {
        if (exit_handled_by_program.load()) exit_request.fetch_or(2);
        else program_ended = 1;
        return;
    }
    if (code == KEY_PAUSE || (code == KEY_NUM_LOCK && ctrl_held())) {
        pause_flags.fetch_or(1);
        check_pending = 1;
        return;
    }
    if (pause_flags.load() & 1) {
        pause_flags.fetch_and(uint8_t(~1));
        return;
    }
    if (alt_held() && code == 13) return;
    if (trap_takes(code)) return;
    if (macro_takes(code)) return;
    queue_hit(code);
    put_into_bios(code, insert_was_down, scroll_was_down);
}

void press(int32_t code) {
    press_steps(code);
    sleep_wake = 1;
}

void release(int32_t code) {
    if (code == 0) code = KEY_ZERO;
    remove_down(code);
    for (int32_t& slot : swallowed)
        if (slot == code) { slot = 0; return; }
    queue_hit(-code);
    int32_t scan = scan_code_of(code);
    if (scan) add_scan_code(uint8_t(scan + 128));
    if (is_modifier(code) || code == 0x5200) update_keyboard_status();
}

}  // namespace

void key_down(int32_t key_code) {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    press(key_code);
}

void key_up(int32_t key_code) {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    release(key_code);
}

bool is_key_down(int32_t key_code) {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    return held(key_code == 0 ? KEY_ZERO : key_code);
}

int32_t read_key_hit() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    int32_t read = hit_read.load();
    if (read == hit_write.load(std::memory_order_acquire)) return 0;
    int32_t value = key_hits[read].value;
    hit_read = (read + 1) % KEY_HIT_QUEUE_SIZE;
    last_hit = value;
    return value;
}

int32_t last_key_hit() { return last_hit.load(); }

void update_keyboard_status() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    uint8_t s1 = (held(KEY_RIGHT_SHIFT) ? 0x01 : 0) | (held(KEY_LEFT_SHIFT) ? 0x02 : 0) |
                 (ctrl_held() ? 0x04 : 0) | (alt_held() ? 0x08 : 0) |
                 (held(KEY_SCROLL_LOCK_ON) ? 0x10 : 0) | (held(KEY_NUM_LOCK) ? 0x20 : 0) |
                 (held(KEY_CAPS_LOCK) ? 0x40 : 0) | (held(KEY_INSERT_MODE) ? 0x80 : 0);
    uint8_t s2 = (held(KEY_LEFT_CTRL) ? 0x01 : 0) | (held(KEY_LEFT_ALT) ? 0x02 : 0) |
                 (held(KEY_PAUSE) ? 0x08 : 0) | (held(KEY_SCROLL_LOCK) ? 0x10 : 0) |
                 (held(0x5200) ? 0x80 : 0);
    uint8_t s3 = (held(KEY_RIGHT_CTRL) ? 0x04 : 0) | (held(KEY_RIGHT_ALT) ? 0x08 : 0) | 0x10;
    bios_byte(BIOS_KEY_STATUS_1).store(s1);
    bios_byte(BIOS_KEY_STATUS_2).store(s2);
    bios_byte(BIOS_KEY_STATUS_3).store(s3);
}

void window_character_key(uint8_t character, bool down, bool ctrl, bool shift) {
    int32_t code = character;
    if (ctrl) {
        if (code == 10) code = 13;
        else if (code >= 1 && code <= 26) code += shift ? 64 : 96;
    }
    if (code == 127) code = 0x5300;
    down ? key_down(code) : key_up(code);
}

void window_special_key(int key, bool down) {
    int32_t code = 0;
    if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F10) code = 0x3B00 + (key - GLUT_KEY_F1) * 0x100;
    else switch (key) {
        case GLUT_KEY_F11: code = 0x8500; break;
        case GLUT_KEY_F12: code = 0x8600; break;
        case GLUT_KEY_LEFT: code = 0x4B00; break;
        case GLUT_KEY_UP: code = 0x4800; break;
        case GLUT_KEY_RIGHT: code = 0x4D00; break;
        case GLUT_KEY_DOWN: code = 0x5000; break;
        case GLUT_KEY_PAGE_UP: code = 0x4900; break;
        case GLUT_KEY_PAGE_DOWN: code = 0x5100; break;
        case GLUT_KEY_HOME: code = 0x4700; break;
        case GLUT_KEY_END: code = 0x4F00; break;
        case GLUT_KEY_INSERT: code = 0x5200; break;
        case GLUT_KEY_SHIFT_L: code = KEY_LEFT_SHIFT; break;
        case GLUT_KEY_SHIFT_R: code = KEY_RIGHT_SHIFT; break;
        case GLUT_KEY_CTRL_L: code = KEY_LEFT_CTRL; break;
        case GLUT_KEY_CTRL_R: code = KEY_RIGHT_CTRL; break;
        case GLUT_KEY_ALT_L: code = KEY_LEFT_ALT; break;
        case GLUT_KEY_ALT_R: code = KEY_RIGHT_ALT; break;
        default: return;
    }
    down ? key_down(code) : key_up(code);
}

void keyboard_seed(const PlatformKeyboardState& s) {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    const std::pair<bool, int32_t> held_keys[] = {
        {s.scroll_lock_held, KEY_SCROLL_LOCK}, {s.left_shift, KEY_LEFT_SHIFT},
        {s.right_shift, KEY_RIGHT_SHIFT},      {s.left_ctrl, KEY_LEFT_CTRL},
        {s.right_ctrl, KEY_RIGHT_CTRL},        {s.left_alt, KEY_LEFT_ALT},
        {s.right_alt, KEY_RIGHT_ALT},          {s.caps_lock, KEY_CAPS_LOCK},
        {s.num_lock, KEY_NUM_LOCK}};
    for (auto [is_held, code] : held_keys)
        if (is_held) press(code);
    update_keyboard_status();
    hit_read = hit_write.load();
    bios_word(BIOS_KEY_HEAD).store(BIOS_KEY_RING_FIRST);
    bios_word(BIOS_KEY_TAIL).store(BIOS_KEY_RING_FIRST);
}

void keyboard_sync_lock_keys(const PlatformKeyboardState& s) {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    bool changed = false;
    if (s.scroll_lock != held(KEY_SCROLL_LOCK_ON)) {
        s.scroll_lock ? add_down(KEY_SCROLL_LOCK_ON) : remove_down(KEY_SCROLL_LOCK_ON);
        changed = true;
    }
    for (auto [on, code] : {std::pair{s.caps_lock, KEY_CAPS_LOCK}, std::pair{s.num_lock, KEY_NUM_LOCK}}) {
        if (on == held(code)) continue;
        on ? press(code) : release(code);
        changed = true;
    }
    if (changed) update_keyboard_status();
}

void set_key_text(int32_t n, const uint8_t* text, int32_t length) {
    if (pending_error.load()) return;
    bool macro_key = (n >= 1 && n <= 10) || n == 30 || n == 31;
    bool user_trap = n >= 15 && n <= 29;
    if ((!macro_key && !user_trap) || (macro_key && length > 15)) return raise_error(5);
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    KeyDefinition& d = key_definitions[n];
    if (macro_key) {
        d.macro_length = uint8_t(length);
        std::copy(text, text + length, d.macro);
        return;
    }
    if (length == 0) {
        d.scan_code = 0;
        return;
    }
    uint8_t states = 0;
    for (int32_t i = 0; i + 1 < length; ++i) states |= text[i];
    d.shift_states = states & 0x7F;
    d.scan_code = text[length - 1];
}

uint8_t take_scan_code() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    uint8_t first = scan_codes[0];
    if (scan_count == 0) return first;
    std::copy(scan_codes.begin() + 1, scan_codes.end(), scan_codes.begin());
    // The byte read stays as the answer for an empty buffer.
    if (--scan_count == 0) scan_codes[0] = first;
    return first;
}

int32_t scan_code_count() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    return scan_count;
}

void keyboard_reset() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    keys_down.clear();
    hit_write = 0;
    hit_read = 0;
    last_hit = 0;
    scan_codes.fill(0);
    scan_codes[0] = 0x81;
    scan_count = 0;
    swallowed.fill(0);
    for (KeyDefinition& d : key_definitions) d = {};
    bios_word(BIOS_KEY_HEAD).store(BIOS_KEY_RING_FIRST);
    bios_word(BIOS_KEY_TAIL).store(BIOS_KEY_RING_FIRST);
    update_keyboard_status();
}

void scan_code_buffer_startup() {
    std::lock_guard<std::recursive_mutex> guard(key_lock);
    scan_codes[0] = 0x81;
    scan_count = 0;
}

void keyboard_startup() {
    PlatformKeyboardState state;
    platform_keyboard_state(&state);
    keyboard_seed(state);
}

void housekeeping_sync_lock_keys() {
    PlatformKeyboardState state;
    platform_keyboard_state(&state);
    keyboard_sync_lock_keys(state);
}
