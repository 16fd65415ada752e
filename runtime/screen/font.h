// Built-in fonts, the font tables, glyph drawing and the code page table.
#pragma once
#include <cstdint>
#include <vector>

struct BasicString;

// Generated glyph rows (bit 7 leftmost) and their one-byte-per-pixel copies
// (0 background, 255 ink), which every reader uses.
extern const uint8_t GLYPH_ROWS_8X8[256 * 8];
extern const uint8_t GLYPH_ROWS_8X16[256 * 16];
extern uint8_t GLYPHS_8X8[256 * 64];
extern uint8_t GLYPHS_8X16[256 * 128];

constexpr int32_t FONT_BOLD = 1;
constexpr int32_t FONT_ITALIC = 2;
constexpr int32_t FONT_UNDERLINE = 4;
constexpr int32_t FONT_DONTBLEND = 8;
constexpr int32_t FONT_MONOSPACE = 16;
constexpr int32_t FONT_UNICODE = 32;

// Indexed by font number 0 to highest_font.
extern std::vector<int32_t> font_handle;
extern std::vector<int32_t> font_height;
extern std::vector<int32_t> font_width;
extern std::vector<int32_t> font_flags;
extern int32_t highest_font;

extern uint16_t CODEPAGE_TO_UNICODE[256];

bool font_is_valid(int32_t font);
// The glyph rows of a built-in font (8, 9, 14, 15, 16, 17), 8 bytes apart.
const uint8_t* glyph_of(int32_t font, uint32_t code);

void draw_glyph(uint32_t code);
// Several glyphs side by side at the cursor, drawn exactly as draw_glyph
// would one after another, when can_draw_glyph_run() allows it (an 8-pixel
// font filling the background in a one-byte image). The cursor stays.
bool can_draw_glyph_run();
void draw_glyph_run(const uint8_t* codes, int32_t count);
int32_t text_pixel_width(const BasicString* text, int32_t image, int32_t given);
void set_font(int32_t font, int32_t image, int32_t given);
int32_t font_width_of(int32_t font, int32_t given);
int32_t font_height_of(int32_t font, int32_t given);
void set_print_mode(int32_t kind, int32_t image, int32_t given);
int32_t unicode_of_char(int32_t code);
void set_unicode_of_char(int32_t code_point, int32_t code);
int32_t char_of_unicode(int32_t code_point);

void font_metrics_startup();
void glyphs_startup();
