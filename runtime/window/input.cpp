// Key input of the program: INKEY$, SLEEP, END's wait and the line editor.
#include "runtime/window/input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/clock.h"
#include "runtime/core/errors.h"
#include "runtime/core/memory.h"
#include "runtime/core/program.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"
#include "runtime/screen/image.h"
#include "runtime/screen/image_operations.h"
#include "runtime/screen/text.h"
#include "runtime/values/basic_string.h"
#include "runtime/window/keyboard.h"
#include "runtime/window/timing.h"

// ---- INKEY$ ----

int32_t take_bios_key(uint8_t bytes[2]) {
    uint8_t head = bios_byte(BIOS_KEY_HEAD).load(), tail = bios_byte(BIOS_KEY_TAIL).load();
    if (head == tail) return 0;
    uint8_t character = bios_byte(0x400 + head).load(), scan = bios_byte(0x401 + head).load();
    bios_word(BIOS_KEY_HEAD).store(head == BIOS_KEY_RING_LAST ? BIOS_KEY_RING_FIRST : uint8_t(head + 2));
    bytes[0] = character;
    bytes[1] = scan;
    if (character != 0 || scan == 0) return 1;
    bytes[0] = 0;
    return 2;
}

BasicString* basic_inkey() {
    if (pending_error.load()) return string_new(0, 1);
    uint8_t bytes[2];
    int32_t length = take_bios_key(bytes);
    // A loop polling for keys costs a millisecond's sleep per empty poll,
    // not a spinning core.
    if (!length) wait_ms(1);
    return string_from_bytes(bytes, length);
}

bool end_take_key() {
    uint8_t bytes[2];
    return take_bios_key(bytes) != 0;
}

// ---- SLEEP ----

void basic_sleep(int32_t seconds, int32_t given) {
    if (pending_error.load()) return;
    sleep_wake = 0;
    bool timed = given && seconds > 0;
    int64_t start = clock_ms(), wait = int64_t(seconds) * 1000;
    for (;;) {
        statement_hook(0);
        if (sleep_wake.load()) return;
        if (stop_requested.load()) return;
        if (!timed) {
            wait_ms(9);
            continue;
        }
        int64_t now = clock_ms();
        if (now < start || now - start >= wait) return;
        int64_t left = wait - (now - start);
        if (left <= 9) {
            wait_ms(uint32_t(std::max<int64_t>(1, left)));
            return;
        }
        wait_ms(9);
    }
}

// ---- the line check ----

namespace {

struct Field {
    std::string text;
    bool quoted;
};

bool is_space(uint8_t c) { return c == ' '; }

// Splits at commas; a field that starts with a quote runs to the closing
// quote. False when text follows a closing quote.
bool split_fields(const uint8_t* line, int32_t length, std::vector<Field>* fields) {
    int32_t i = 0;
    for (;;) {
        while (i < length && is_space(line[i])) ++i;
        Field f{std::string(), false};
        if (i < length && line[i] == '"') {
            f.quoted = true;
            int32_t end = i + 1;
            while (end < length && line[end] != '"') ++end;
            f.text.assign(reinterpret_cast<const char*>(line + i + 1), size_t(end - i - 1));
            i = end < length ? end + 1 : end;
            while (i < length && is_space(line[i])) ++i;
            if (i < length && line[i] != ',') return false;
        } else {
            int32_t end = i;
            while (end < length && line[end] != ',') ++end;
            int32_t last = end;
            while (last > i && is_space(line[last - 1])) --last;
            f.text.assign(reinterpret_cast<const char*>(line + i), size_t(last - i));
            i = end;
        }
        fields->push_back(f);
        if (i >= length) return true;
        ++i;  // the comma
    }
}

int32_t type_bits(int32_t type) {
    switch (type) {
        case INPUT_INT8: case INPUT_UINT8: return 8;
        case INPUT_INT16: case INPUT_UINT16: return 16;
        case INPUT_INT32: case INPUT_UINT32: case INPUT_SINGLE: return 32;
        default: return 64;
    }
}

bool is_unsigned(int32_t type) {
    return type == INPUT_UINT8 || type == INPUT_UINT16 || type == INPUT_UINT32 || type == INPUT_UINT64;
}
bool is_float(int32_t type) { return type == INPUT_SINGLE || type == INPUT_DOUBLE || type == INPUT_FLOAT; }

// "&", "&H..." or "&O..." with a value that fits the width unsigned.
bool based_number_fits(const std::string& t, int32_t bits) {
    if (t.size() == 1) return true;
    char kind = char(t[1] & ~0x20);
    std::string digits = t.substr(2);
    if (kind == 'H') {
        if (digits.size() > 16 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
    } else if (kind == 'O') {
        if (digits.size() > 22 || digits.find_first_not_of("01234567") != std::string::npos) return false;
        if (digits.size() == 22 && digits[0] > '1') return false;
    } else {
        return false;
    }
    if (digits.empty()) return true;
    uint64_t value = std::strtoull(digits.c_str(), nullptr, kind == 'H' ? 16 : 8);
    return bits == 64 || value <= (uint64_t(1) << bits) - 1;
}

uint64_t based_value(const std::string& t) {
    if (t.size() < 3) return 0;
    return std::strtoull(t.c_str() + 2, nullptr, (t[1] & ~0x20) == 'H' ? 16 : 8);
}

bool integer_fits(const std::string& t, int32_t type) {
    size_t i = 0;
    bool negative = !t.empty() && t[0] == '-';
    if (negative) {
        if (is_unsigned(type)) return false;
        i = 1;
    }
    std::string digits = t.substr(i);
    if (digits.empty()) return true;  // "-" on its way to a number
    if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
    if (digits[0] == '0' && digits.size() > 1) return false;
    if (digits == "0") return !negative || true;
    int32_t bits = type_bits(type);
    if (bits == 64) {
        const char* limit = is_unsigned(type) ? "18446744073709551615"
                            : negative         ? "9223372036854775808"
                                               : "9223372036854775807";
        size_t n = std::strlen(limit);
        return digits.size() < n || (digits.size() == n && digits <= limit);
    }
    if (digits.size() > 10) return false;
    int64_t value = std::strtoll(digits.c_str(), nullptr, 10);
    if (is_unsigned(type)) return value <= (int64_t(1) << bits) - 1;
    return negative ? value <= (int64_t(1) << (bits - 1)) : value <= (int64_t(1) << (bits - 1)) - 1;
}

bool float_fits(const std::string& t, int32_t type) {
    size_t i = 0, n = t.size();
    if (i < n && t[i] == '-') ++i;
    size_t int_start = i;
    while (i < n && std::isdigit(uint8_t(t[i]))) ++i;
    size_t int_digits = i - int_start;
    if (int_digits > 1 && t[int_start] == '0') return false;  // a leading 0 stands alone
    size_t frac_digits = 0, frac_zeros = 0;
    bool counting_zeros = true;
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && std::isdigit(uint8_t(t[i]))) {
            if (counting_zeros && t[i] == '0') ++frac_zeros; else counting_zeros = false;
            ++frac_digits, ++i;
        }
    }
    if (i < n) {
        char e = char(t[i] & ~0x20);
        if (e != 'E' && !(e == 'D' && type != INPUT_SINGLE)) return false;
        ++i;
        if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
        while (i < n && std::isdigit(uint8_t(t[i]))) ++i;
        if (i < n) return false;
    }
    if (type == INPUT_FLOAT) return true;
    // Significant digits, counted when there are digits after the point.
    bool leading_zero_only = int_digits == 0 || (int_digits == 1 && t[int_start] == '0');
    size_t significant = leading_zero_only ? frac_digits - frac_zeros : int_digits + frac_digits;
    if (frac_digits && significant > (type == INPUT_SINGLE ? 8u : 16u)) return false;
    std::string c = t;
    for (char& ch : c)
        if (ch == 'd' || ch == 'D') ch = 'E';
    char* end = nullptr;
    long double v = std::strtold(c.c_str(), &end);
    if (end == c.c_str()) return true;  // only a sign or point so far
    v = std::fabs(v);
    long double largest = type == INPUT_SINGLE ? 3.402823E+38L : 1.7976931E+308L;
    long double smallest = type == INPUT_SINGLE ? 1.401298E-45L : 4.940656E-324L;
    return v <= largest && (v == 0 || v >= smallest);
}

bool field_fits(const Field& f, int32_t type) {
    if (type == INPUT_STRING) return true;
    if (f.quoted) return false;
    const std::string& t = f.text;
    if (t.empty()) return true;
    if (t[0] == '&') return based_number_fits(t, type_bits(type));
    return is_float(type) ? float_fits(t, type) : integer_fits(t, type);
}

template <typename T>
void put(void* address, T value) {
    std::memcpy(address, &value, sizeof value);
}

void store_number(const Field& f, const InputVariable& v) {
    const std::string& t = f.text;
    int32_t type = v.type;
    if (!t.empty() && t[0] == '&') {
        uint64_t raw = based_value(t);
        int32_t bits = type_bits(type);
        // The digits are the variable's bits: &HFFFF is -1 in a 16-bit one.
        int64_t as_signed = bits == 64 ? int64_t(raw) : int64_t(raw << (64 - bits)) >> (64 - bits);
        switch (type) {
            case INPUT_SINGLE: return put(v.address, float(as_signed));
            case INPUT_DOUBLE: return put(v.address, double(as_signed));
            case INPUT_FLOAT: return put(v.address, (long double)as_signed);
            default: break;
        }
        raw = uint64_t(as_signed);
        switch (type) {
            case INPUT_INT8: case INPUT_UINT8: return put(v.address, uint8_t(raw));
            case INPUT_INT16: case INPUT_UINT16: return put(v.address, uint16_t(raw));
            case INPUT_INT32: case INPUT_UINT32: return put(v.address, uint32_t(raw));
            default: return put(v.address, raw);
        }
    }
    std::string c = t;
    for (char& ch : c)
        if (ch == 'd' || ch == 'D') ch = 'E';
    switch (type) {
        case INPUT_SINGLE: return put(v.address, std::strtof(c.c_str(), nullptr));
        case INPUT_DOUBLE: return put(v.address, std::strtod(c.c_str(), nullptr));
        case INPUT_FLOAT: return put(v.address, std::strtold(c.c_str(), nullptr));
        case INPUT_UINT64: return put(v.address, uint64_t(std::strtoull(c.c_str(), nullptr, 10)));
        default: break;
    }
    int64_t value = std::strtoll(c.c_str(), nullptr, 10);
    switch (type) {
        case INPUT_INT8: case INPUT_UINT8: return put(v.address, uint8_t(value));
        case INPUT_INT16: case INPUT_UINT16: return put(v.address, uint16_t(value));
        case INPUT_INT32: case INPUT_UINT32: return put(v.address, uint32_t(value));
        default: return put(v.address, value);
    }
}

}  // namespace

bool input_line_fits(const uint8_t* line, int32_t length, const int32_t* types, int32_t count) {
    std::vector<Field> fields;
    if (!split_fields(line, length, &fields)) return false;
    if (int32_t(fields.size()) > count) return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (!field_fits(fields[i], types[i])) return false;
    return true;
}

void store_input_fields(const uint8_t* line, int32_t length, const InputVariable* variables, int32_t count) {
    std::vector<Field> fields;
    split_fields(line, length, &fields);
    for (int32_t i = 0; i < count; ++i) {
        Field f = i < int32_t(fields.size()) ? fields[size_t(i)] : Field{std::string(), false};
        const InputVariable& v = variables[i];
        if (v.type == INPUT_STRING) {
            BasicString* text = string_from_bytes(f.text.data(), int32_t(f.text.size()));
            string_assign(static_cast<BasicString*>(v.address), text);
        } else {
            store_number(f, v);
        }
    }
}

// ---- the editor ----

namespace {

constexpr int32_t LINE_LIMIT = 255;

struct Editor {
    std::vector<uint8_t> line;
    int32_t snapshot = 0;             // image index of the page copy
    int16_t cursor_row = 1, cursor_column = 1;
    uint8_t pending_newline = 0;
    bool block_shown = false;
};

ImageRecord* page() { return write_image; }

// Puts the page back as it was before the first key and prints line.
void reprint(Editor& e) {
    ImageRecord* target = page();
    const ImageRecord* saved = image_at(e.snapshot);
    if (target && saved && target->pixels && saved->pixels &&
        target->width == saved->width && target->height == saved->height)
        std::memcpy(target->pixels, saved->pixels,
                    size_t(target->width) * target->height * target->bytes_per_pixel);
    target->cursor_row = e.cursor_row;
    target->cursor_column = e.cursor_column;
    target->pending_newline = e.pending_newline;
    start_print_bytes(e.line.size());
    print_bytes(e.line.data(), e.line.size(), 0);
}

// The blinking block of graphics screens: exclusive or with the
// foreground colour, so that drawing it twice removes it.
void toggle_block(Editor& e) {
    ImageRecord* p = page();
    if (!p || p->is_text || !p->pixels || p->bytes_per_pixel != 1) return;
    int32_t fh = p->font == 8 || p->font == 9 ? 8 : p->font == 14 || p->font == 15 ? 14 : 16;
    int32_t fw = p->font == 9 || p->font == 15 || p->font == 17 ? 16 : 8;
    int32_t x0 = (p->cursor_column - 1) * fw, y0 = (p->cursor_row - 1) * fh;
    for (int32_t y = y0; y < y0 + fh && y < p->height; ++y)
        for (int32_t x = x0; x < x0 + fw && x < p->width; ++x)
            p->pixels[size_t(y) * p->width + x] ^= uint8_t(p->foreground & p->colour_mask);
    e.block_shown = !e.block_shown;
}

// The next key, waiting for it; 0 bytes only when the program is stopped.
int32_t next_key(Editor& e, uint8_t bytes[2]) {
    for (;;) {
        if (int32_t length = take_bios_key(bytes)) {
            if (e.block_shown) toggle_block(e);
            return length;
        }
        if (stop_requested.load()) {
            if (e.block_shown) toggle_block(e);
            stop_program_thread();
        }
        bool phase = (clock_ms() >> 9) & 1;
        if (phase != e.block_shown) toggle_block(e);
        wait_ms(10);
    }
}

void edit_line(Editor& e, const int32_t* types, int32_t count, bool whole_line) {
    auto fits = [&](const std::vector<uint8_t>& line) {
        return whole_line || input_line_fits(line.data(), int32_t(line.size()), types, count);
    };
    for (;;) {
        uint8_t key[2];
        if (next_key(e, key) == 2) continue;  // extended keys are not editing keys
        uint8_t c = key[0];
        if (c == 13) return;
        if (c == 10 || c == 11 || c == 12 || (c >= 28 && c <= 31)) continue;
        if (c == 7) {
            print_bytes(&c, 1, 0);
            continue;
        }
        if (c == 8) {
            if (e.line.empty()) continue;
            e.line.pop_back();
            reprint(e);
            continue;
        }
        std::vector<uint8_t> added;
        if (c == 9) {
            do added.push_back(' ');
            while ((e.line.size() + added.size()) % 8 != 0);
        } else {
            added.push_back(c);
        }
        for (uint8_t a : added) {
            if (e.line.size() >= size_t(LINE_LIMIT)) break;
            e.line.push_back(a);
            if (!fits(e.line)) {
                // Not a valid beginning: the character goes at once.
                e.line.pop_back();
                reprint(e);
                break;
            }
            print_bytes(&a, 1, 0);
        }
    }
}

// Runs the editor around a body that stores the line.
template <typename Store>
void run_editor(const int32_t* types, int32_t count, bool whole_line, int32_t newline, Store store) {
    if (pending_error.load()) return;
    int32_t presentation = auto_display.load();
    auto_display = 1;
    Editor e;
    ImageRecord* p = page();
    if (!p) return;
    e.cursor_row = p->cursor_row;
    e.cursor_column = p->cursor_column;
    e.pending_newline = p->pending_newline;
    int32_t handle = copy_image(0, 0);
    if (handle >= -1) {
        auto_display = presentation;
        raise_error(handle == -1 ? 516 : 517);
        return;
    }
    e.snapshot = -handle;
    edit_line(e, types, count, whole_line);
    store(e.line);
    free_image(handle, 1);
    if (newline) print_bytes(nullptr, 0, 1);
    if (presentation == 0) auto_display = 0;
}

}  // namespace

void input_variables(const InputVariable* variables, int32_t count, int32_t newline) {
    std::vector<int32_t> types;
    for (int32_t i = 0; i < count; ++i) types.push_back(variables[i].type);
    run_editor(types.data(), count, false, newline, [&](const std::vector<uint8_t>& line) {
        store_input_fields(line.data(), int32_t(line.size()), variables, count);
    });
}

void line_input(BasicString* variable, int32_t newline) {
    run_editor(nullptr, 1, true, newline, [&](const std::vector<uint8_t>& line) {
        string_assign(variable, string_from_bytes(line.data(), int32_t(line.size())));
    });
}
