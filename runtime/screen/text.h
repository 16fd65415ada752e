// The text cursor and screen output: PRINT, wrapping and scrolling, LOCATE,
// VIEW PRINT, CLS, CSRLIN, POS and the function-key label line.
#pragma once
#include <cstddef>
#include <cstdint>

struct BasicString;

extern int32_t control_codes_off;   // control codes are drawn as glyphs
extern int32_t soft_keys_on;        // the function-key label line is shown

// PRINT: start_print_item before each item, print_string for it (newline
// 0), print_string of "" with newline 1 at the end of the statement.
void start_print_item(const BasicString* item);
void print_string(const BasicString* text, int32_t newline);
// The same over plain bytes, for callers that hold no BasicString.
void start_print_bytes(size_t length);
void print_bytes(const uint8_t* bytes, size_t length, int32_t newline);
void next_print_zone();
void new_line();

// LOCATE. flags bits 0 to 4: row, column, shown, start, stop given.
void set_cursor(int32_t row, int32_t column, int32_t shown, int32_t start, int32_t stop,
                uint32_t flags);
// VIEW PRINT; given 0 makes the window the whole screen.
void set_view_print(int32_t top, int32_t bottom, int32_t given);
// CLS. flags: bit 0 kind given, bit 1 colour given.
void clear_screen(int32_t kind, int64_t colour, uint32_t flags);
int32_t current_row();                  // CSRLIN
int32_t current_column(int32_t ignored); // POS
void set_control_codes(int32_t n);

// KEY ON / OFF (not forced), KEY n, text$, SCREEN and CLS (forced).
void draw_soft_key_line(int32_t forced);
void set_soft_key_text(int32_t key, const uint8_t* text, size_t length);
void set_soft_keys_on(int32_t on);
void list_soft_keys();                  // KEY LIST

// END's prompt on the last text row of the display image.
void end_show_prompt();
