// The font tables, the glyph copies, draw_glyph and the code page table.
#include "runtime/screen/font.h"

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/values/basic_string.h"

uint8_t GLYPHS_8X8[256 * 64];
uint8_t GLYPHS_8X16[256 * 128];

std::vector<int32_t> font_handle(49);
std::vector<int32_t> font_height(49);
std::vector<int32_t> font_width(49);
std::vector<int32_t> font_flags(49);
int32_t highest_font = 48;

uint16_t CODEPAGE_TO_UNICODE[256] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x0020,
};

void font_metrics_startup() {
    constexpr int32_t built_in[6][3] = {{8, 8, 8}, {9, 16, 8}, {14, 8, 14},
                                        {15, 16, 14}, {16, 8, 16}, {17, 16, 16}};
    for (const auto& f : built_in) {
        font_width[f[0]] = f[1];
        font_height[f[0]] = f[2];
        font_flags[f[0]] = FONT_MONOSPACE;
    }
}

static void expand_glyphs(const uint8_t* rows, uint8_t* pixels, size_t row_count) {
    for (size_t r = 0; r < row_count; ++r)
        for (int bit = 0; bit < 8; ++bit) pixels[r * 8 + bit] = (rows[r] << bit & 0x80) ? 255 : 0;
}

// The glyph copies packed again to one byte per row, and each such byte's
// eight pixel masks: the run drawer's working set then fits in a few KiB.
static uint8_t packed_8x8[256 * 8];
static uint8_t packed_8x16[256 * 16];
static uint64_t row_masks[256];

static void pack_glyphs(const uint8_t* pixels, uint8_t* rows, size_t row_count) {
    for (size_t r = 0; r < row_count; ++r) {
        uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (pixels[r * 8 + bit]) bits |= uint8_t(0x80 >> bit);
        rows[r] = bits;
    }
}

void glyphs_startup() {
    expand_glyphs(GLYPH_ROWS_8X8, GLYPHS_8X8, 256 * 8);
    expand_glyphs(GLYPH_ROWS_8X16, GLYPHS_8X16, 256 * 16);
    pack_glyphs(GLYPHS_8X8, packed_8x8, 256 * 8);
    pack_glyphs(GLYPHS_8X16, packed_8x16, 256 * 16);
    for (uint32_t bits = 0; bits < 256; ++bits) {
        uint8_t mask[8];
        for (int bit = 0; bit < 8; ++bit) mask[bit] = (bits << bit & 0x80) ? 255 : 0;
        std::memcpy(&row_masks[bits], mask, 8);
    }
}


bool font_is_valid(int32_t font) {
    if (font == 8 || font == 9 || font == 14 || font == 15 || font == 16 || font == 17) return true;
    return font >= 32 && font <= highest_font && font_handle[font] != 0;
}

const uint8_t* glyph_of(int32_t font, uint32_t code) {
    code &= 255;
    switch (font) {
    case 8:
    case 9: return GLYPHS_8X8 + code * 64;
    case 14:
    case 15: return GLYPHS_8X16 + code * 128 + 8;
    default: return GLYPHS_8X16 + code * 128;
    }
}

// One glyph row of eight pixels, each `scale` wide, into a one-byte image
// row: whole words where a row allows it, the set_pixel rule otherwise.
static void glyph_row_bytes(uint8_t* out, const uint8_t* ink, int32_t scale, uint8_t f,
                            uint8_t b, uint8_t print_mode) {
    for (int32_t i = 0; i < 8 * scale; ++i) {
        bool is_ink = ink[i / scale] != 0;
        if (print_mode == 3) out[i] = is_ink ? f : b;
        else if (print_mode == 1 && is_ink) out[i] = f;
        else if (print_mode == 2 && !is_ink) out[i] = b;
    }
}

// Fill-background glyphs in one-byte images: each row is a select between
// the foreground and background words by the glyph's ink mask.
static void glyph_fill_rows(uint8_t* origin, size_t pitch, const uint8_t* glyph, int32_t rows,
                            uint8_t f, uint8_t b) {
    const uint64_t fw = 0x0101010101010101ull * f, bw = 0x0101010101010101ull * b;
    for (int32_t r = 0; r < rows; ++r) {
        uint64_t mask;
        std::memcpy(&mask, glyph + r * 8, 8);
        uint64_t row = (fw & mask) | (bw & ~mask);
        std::memcpy(origin + r * pitch, &row, 8);
    }
}

// The packed rows of the glyph that glyph_of gives.
static const uint8_t* packed_rows_of(int32_t font, uint32_t code) {
    const uint8_t* glyph = glyph_of(font, code);
    if (font == 8 || font == 9) return packed_8x8 + (glyph - GLYPHS_8X8) / 8;
    return packed_8x16 + (glyph - GLYPHS_8X16) / 8;
}

bool can_draw_glyph_run() {
    const ImageRecord* w = write_image;
    return !w->is_text && w->bytes_per_pixel == 1 && w->print_mode == 3 && w->font < 32 &&
           font_width[w->font] == 8;
}

void draw_glyph_run(const uint8_t* codes, int32_t count) {
    ImageRecord* w = write_image;
    int32_t fh = font_height[w->font];
    int32_t x0 = (w->cursor_column - 1) * 8, y0 = (w->cursor_row - 1) * fh;
    if (x0 < 0 || y0 < 0 || x0 + 8 * count > w->width || y0 + fh > w->height) return;
    uint8_t f = uint8_t(w->foreground & w->colour_mask), b = uint8_t(w->background & w->colour_mask);
    const uint64_t fw = 0x0101010101010101ull * f, bw = 0x0101010101010101ull * b;
    // Row by row across the whole run, so the page is written in order. The
    // glyph rows are gathered first: stores through the page's bytes could
    // alias anything read inside the loop.
    for (int32_t first = 0; first < count; first += 128) {
        int32_t n = std::min(count - first, 128);
        const uint8_t* rows[128];
        for (int32_t k = 0; k < n; ++k) rows[k] = packed_rows_of(w->font, codes[first + k]);
        uint8_t* origin = w->pixels + size_t(y0) * w->width + x0 + 8 * first;
        size_t pitch = w->width;
        for (int32_t r = 0; r < fh; ++r) {
            uint8_t* out = origin + r * pitch;
            int32_t k = 0;
#ifdef __SSE2__
            const __m128i fv = _mm_set1_epi64x(int64_t(fw)), bv = _mm_set1_epi64x(int64_t(bw));
            for (; k + 1 < n; k += 2) {
                __m128i mask = _mm_set_epi64x(int64_t(row_masks[rows[k + 1][r]]),
                                              int64_t(row_masks[rows[k][r]]));
                __m128i row = _mm_or_si128(_mm_and_si128(mask, fv), _mm_andnot_si128(mask, bv));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * k), row);
            }
#endif
            for (; k < n; ++k) {
                uint64_t mask = row_masks[rows[k][r]];
                uint64_t row = (fw & mask) | (bw & ~mask);
                std::memcpy(out + 8 * k, &row, 8);
            }
        }
    }
}

void draw_glyph(uint32_t code) {
    ImageRecord* w = write_image;
    uint32_t f = w->foreground, b = w->background;
    if (w->is_text) {
        // The cursor rules keep the cursor on the page; this only guards.
        if (w->cursor_row < 1 || w->cursor_row > w->height || w->cursor_column < 1 ||
            w->cursor_column > w->width)
            return;
        uint8_t* cell = w->pixels + 2 * (size_t(w->cursor_row - 1) * w->width + (w->cursor_column - 1));
        cell[0] = uint8_t(code);
        cell[1] = uint8_t((((f & 16) + 2 * b) * 8) + (f & 15));
        return;
    }
    int32_t fw = font_width[w->font], fh = font_height[w->font];
    int32_t x0 = fw ? (w->cursor_column - 1) * fw : w->cursor_column - 1;
    int32_t y0 = (w->cursor_row - 1) * fh;
    if (!(font_flags[w->font] & FONT_UNICODE)) code &= 255;
    if (w->font >= 32) return;  // loaded fonts never exist here
    if (w->print_mode < 1 || w->print_mode > 3) return;
    const uint8_t* glyph = glyph_of(w->font, code);
    int32_t scale = fw / 8 > 1 ? 2 : 1;
    if (x0 < 0 || y0 < 0 || x0 + 8 * scale > w->width || y0 + fh > w->height) return;
    if (w->bytes_per_pixel == 1) {
        uint8_t fb = uint8_t(f & w->colour_mask), bb = uint8_t(b & w->colour_mask);
        uint8_t* origin = w->pixels + size_t(y0) * w->width + x0;
        if (scale == 1 && w->print_mode == 3) {
            glyph_fill_rows(origin, w->width, glyph, fh, fb, bb);
            return;
        }
        for (int32_t r = 0; r < fh; ++r)
            glyph_row_bytes(origin + size_t(r) * w->width, glyph + r * 8, scale, fb, bb, w->print_mode);
        return;
    }
    for (int32_t r = 0; r < fh; ++r)
        for (int32_t c = 0; c < 8 * scale; ++c) {
            bool is_ink = glyph[r * 8 + c / scale] != 0;
            if (w->print_mode == 3) set_pixel(x0 + c, y0 + r, is_ink ? f : b);
            else if (w->print_mode == 1 && is_ink) set_pixel(x0 + c, y0 + r, f);
            else if (w->print_mode == 2 && !is_ink) set_pixel(x0 + c, y0 + r, b);
        }
}

int32_t text_pixel_width(const BasicString* text, int32_t argument, int32_t given) {
    if (pending_error.load()) return 0;
    int32_t index = resolve_image(argument, given);
    if (!index) return 0;
    if (image_at(index)->is_text) {
        raise_error(5);
        return 0;
    }
    return int32_t(8 * int64_t(text ? text->length : 0));
}

void set_font(int32_t font, int32_t argument, int32_t given) {
    if (pending_error.load()) return;
    int32_t index = resolve_image(argument, given);
    if (!index) return;
    ImageRecord* image = image_at(index);
    if (!font_is_valid(font)) {
        raise_error(258);
        return;
    }
    if (image->is_text && !(font_flags[font] & FONT_MONOSPACE)) {
        raise_error(5);
        return;
    }
    if (image->is_text && (image->image_flags & DISPLAY_PAGE)) {
        bool paused = pause_frame_builder();
        for (int32_t page = 0; page < page_count(); ++page)
            if (int32_t p = page_image_index(page)) image_at(p)->font = font;
        display_cache_valid = 0;
        release_frame_builder(paused);
        return;
    }
    apply_font(font, image);
}

static int32_t metric_of(const std::vector<int32_t>& table, int32_t font, int32_t given) {
    if (pending_error.load()) return 0;
    if (!given) return table[write_image->font];
    bool built_in = font == 8 || font == 14 || font == 16;
    if (!built_in && !(font >= 32 && font_is_valid(font))) {
        raise_error(258);
        return 0;
    }
    return table[font];
}

int32_t font_width_of(int32_t font, int32_t given) { return metric_of(font_width, font, given); }
int32_t font_height_of(int32_t font, int32_t given) { return metric_of(font_height, font, given); }

void set_print_mode(int32_t kind, int32_t argument, int32_t given) {
    if (pending_error.load()) return;
    int32_t index = resolve_image(argument, given);
    if (!index) return;
    ImageRecord* image = image_at(index);
    if (image->is_text) {
        if (kind != 1) raise_error(5);
        else image->print_mode = 3;
        return;
    }
    if (kind == 1) image->print_mode = 3;
    else if (kind == 2) image->print_mode = 1;
    else if (kind == 3) image->print_mode = 2;
}

int32_t unicode_of_char(int32_t code) {
    if (pending_error.load()) return 0;
    if (code < 0 || code > 255) {
        raise_error(5);
        return 0;
    }
    return CODEPAGE_TO_UNICODE[code];
}

void set_unicode_of_char(int32_t code_point, int32_t code) {
    if (pending_error.load()) return;
    if (code_point < 0 || code_point > 65535 || code < 0 || code > 255) {
        raise_error(5);
        return;
    }
    CODEPAGE_TO_UNICODE[code] = uint16_t(code_point);
}

int32_t char_of_unicode(int32_t code_point) {
    if (pending_error.load()) return 0;
    for (int32_t code = 0; code < 256; ++code)
        if (CODEPAGE_TO_UNICODE[code] == code_point) return code;
    return 0;
}
