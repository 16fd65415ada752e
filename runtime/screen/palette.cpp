// Default palettes, COLOR and PALETTE, and storing colours into pixels.
#include "runtime/screen/palette.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"

uint32_t DEFAULT_PALETTE_256[256];
uint32_t EGA_PALETTE_64[64];
uint32_t MODE10_LEVELS[2][9];
uint8_t* BLEND_TABLE = nullptr;
uint8_t* ALPHA_TABLE = nullptr;

namespace {

constexpr uint32_t STANDARD_COLOURS[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

constexpr uint8_t GREY_LEVELS[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};

// The five component levels of each hue ring (strong, medium, pale) at
// full, medium and low brightness, as 6-bit DAC values.
constexpr uint8_t RING_LEVELS[9][5] = {
    {0, 16, 31, 47, 63}, {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
    {0, 7, 14, 21, 28},  {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
    {0, 4, 8, 12, 16},   {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
};

// Red, green and blue level numbers of the 24 hues, blue round to blue.
constexpr uint8_t RING_HUES[24][3] = {
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
};

constexpr uint32_t dac_colour(uint32_t r, uint32_t g, uint32_t b) {
    auto eight = [](uint32_t v) { return (v * 255 + 31) / 63; };
    return eight(r) << 16 | eight(g) << 8 | eight(b);
}

// Rounds to nearest, ties to even.
int32_t round_even(double value) { return int32_t(std::nearbyint(value)); }

// The six-bit component as PALETTE turns it into eight bits.
uint32_t six_to_eight(uint32_t c) {
    return uint32_t(round_even(double(float(c) * 4.0634918212890625f - 0.49999991059303284f)));
}

uint32_t vga_value_colour(uint32_t value) {
    return six_to_eight(value & 63) << 16 | six_to_eight(value >> 8 & 63) << 8 |
           six_to_eight(value >> 16 & 63);
}

// The VGA colour registers' indices and component counters.
int32_t dac_write_index = 0, dac_write_step = 0;
int32_t dac_read_index = 0, dac_read_step = 0;

}  // namespace

uint32_t dac_to_8bit(uint32_t component) { return six_to_eight(component); }

uint32_t standard_colour(int32_t index) { return DEFAULT_PALETTE_256[index & 15]; }

void palettes_startup() {
    for (int i = 0; i < 16; ++i) DEFAULT_PALETTE_256[i] = STANDARD_COLOURS[i];
    for (int i = 0; i < 16; ++i)
        DEFAULT_PALETTE_256[16 + i] = dac_colour(GREY_LEVELS[i], GREY_LEVELS[i], GREY_LEVELS[i]);
    for (int ring = 0; ring < 9; ++ring)
        for (int hue = 0; hue < 24; ++hue) {
            const uint8_t* level = RING_LEVELS[ring];
            const uint8_t* h = RING_HUES[hue];
            DEFAULT_PALETTE_256[32 + ring * 24 + hue] = dac_colour(level[h[0]], level[h[1]], level[h[2]]);
        }
    for (int i = 248; i < 256; ++i) DEFAULT_PALETTE_256[i] = 0;
    for (auto& colour : DEFAULT_PALETTE_256) colour |= 0xFF000000;
    for (uint32_t i = 0; i < 64; ++i) {
        uint32_t blue = 0xAA * (i & 1) + 0x55 * (i >> 3 & 1);
        uint32_t green = 0xAA * (i >> 1 & 1) + 0x55 * (i >> 4 & 1);
        uint32_t red = 0xAA * (i >> 2 & 1) + 0x55 * (i >> 5 & 1);
        EGA_PALETTE_64[i] = 0xFF000000 | red << 16 | green << 8 | blue;
    }
    constexpr uint32_t levels[3] = {0x000000, 0x808080, 0xFFFFFF};
    for (int p = 0; p < 9; ++p) {
        MODE10_LEVELS[0][p] = levels[p / 3];
        MODE10_LEVELS[1][p] = levels[p % 3];
    }
}

void set_default_palette(ImageRecord* image) {
    uint32_t* palette = image->palette;
    if (!palette) return;
    switch (image->mode) {
    case 1:
        palette[0] = standard_colour(0);
        palette[1] = standard_colour(3);
        palette[2] = standard_colour(5);
        palette[3] = standard_colour(7);
        break;
    case 2:
    case 11:
        palette[0] = 0x00000000;
        palette[1] = 0x00FFFFFF;
        break;
    case 9: {
        constexpr int ega[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
        for (int i = 0; i < 16; ++i) palette[i] = EGA_PALETTE_64[ega[i]];
        break;
    }
    case 10:
        palette[4] = 0;
        palette[5] = 4;
        palette[6] = 6;
        palette[7] = 8;
        break;
    case 13:
    case 256:
        for (int i = 0; i < 256; ++i) palette[i] = DEFAULT_PALETTE_256[i];
        break;
    default:  // 0, 7, 8, 12
        for (int i = 0; i < 16; ++i) palette[i] = DEFAULT_PALETTE_256[i];
        break;
    }
}

void set_colour(int64_t f, int64_t b, int64_t, uint32_t flags) {
    if (pending_error.load() || !(flags & 7)) return;
    ImageRecord* image = write_image;
    bool fg = flags & 1, bg = flags & 2, border = flags & 4;
    auto in = [](int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; };
    int32_t mode = image->mode;
    int64_t f_max = 15, b_max = 15;
    switch (mode) {
    case 0: f_max = 31; break;
    case 1: b_max = INT64_MAX; break;
    case 2: f_max = 1; break;
    case 9: b_max = 63; break;
    case 10: f_max = 3; b_max = 8; break;
    case 11: f_max = 1; b_max = 1; break;
    case 13:
    case 256: f_max = 255; b_max = 255; break;
    case 32: f_max = b_max = INT64_MAX; break;
    }
    int64_t f_min = mode == 32 ? INT64_MIN : 0, b_min = mode == 32 || mode == 1 ? INT64_MIN : 0;
    if ((border && mode != 0) || (fg && !in(f, f_min, f_max)) || (bg && !in(b, b_min, b_max))) {
        raise_error(5);
        return;
    }
    uint32_t* palette = image->palette;
    switch (mode) {
    case 0:
        if (fg) image->foreground = uint32_t(f);
        if (bg) image->background = uint32_t(b & 7);
        break;
    case 1:
        if (fg) palette[0] = standard_colour(int32_t(f));
        if (bg) {
            bool odd = b & 1;
            palette[1] = standard_colour(odd ? 3 : 2);
            palette[2] = standard_colour(odd ? 5 : 4);
            palette[3] = standard_colour(odd ? 7 : 6);
        }
        break;
    case 2:
    case 7:
    case 8:
    case 9:
    case 10:
        if (fg) image->foreground = uint32_t(f);
        if (bg) {
            if (mode == 9) palette[0] = EGA_PALETTE_64[b];
            else if (mode == 10) palette[4] = uint32_t(b);
            else palette[0] = standard_colour(int32_t(b));
        }
        break;
    default:
        if (fg) image->foreground = uint32_t(f);
        if (bg) image->background = uint32_t(b);
        break;
    }
}

void set_palette(int64_t attribute, int64_t colour, int32_t given) {
    if (pending_error.load()) return;
    ImageRecord* image = write_image;
    if (!given) {
        set_default_palette(image);
        return;
    }
    if (!image->palette) {
        raise_error(5);
        return;
    }
    int32_t a = int32_t(attribute & 255);
    uint32_t* palette = image->palette;
    switch (image->mode) {
    case 13:
    case 256:
    case 11:
    case 12:
        if ((image->mode == 11 && a > 1) || (image->mode == 12 && a > 15) || colour < 0 ||
            colour > 0xFFFFFFFF || (uint32_t(colour) & 0xFFC0C0C0)) {
            raise_error(5);
            return;
        }
        palette[a] = vga_value_colour(uint32_t(colour));
        break;
    case 10:
        if (a > 3 || colour < 0 || colour > 8) {
            raise_error(5);
            return;
        }
        palette[a + 4] = uint32_t(colour);
        break;
    case 0:
    case 9:
        if (a > 15 || colour < 0 || colour > 63) {
            raise_error(5);
            return;
        }
        palette[a] = EGA_PALETTE_64[colour];
        break;
    default:  // 1, 2, 7, 8
        if ((image->mode == 2 ? a > 1 : a > 15) || colour < 0 || colour > 15) {
            raise_error(5);
            return;
        }
        palette[a] = standard_colour(int32_t(colour));
        break;
    }
}

void set_palette_using(const void* elements, int64_t count, int32_t element_bits) {
    if (pending_error.load()) return;
    ImageRecord* image = write_image;
    int32_t mode = image->mode;
    if (!image->palette || count < int64_t(image->colour_mask) + 1 ||
        (element_bits == 16 && (mode == 11 || mode == 12 || mode == 13 || mode == 256))) {
        raise_error(5);
        return;
    }
    for (uint32_t a = 0; a <= image->colour_mask; ++a) {
        int64_t value = element_bits == 16 ? static_cast<const int16_t*>(elements)[a]
                                           : static_cast<const int32_t*>(elements)[a];
        if (value == -1) continue;
        if (value < -1) {
            raise_error(5);
            return;
        }
        set_palette(a, value, 1);
        if (pending_error.load()) return;
    }
}

void make_blend_tables() {
    if (BLEND_TABLE) return;
    auto blend = static_cast<uint8_t*>(std::malloc(256 * 256 * 256));
    auto alpha = static_cast<uint8_t*>(std::malloc(256 * 256));
    if (!blend || !alpha) {
        std::free(blend);
        std::free(alpha);
        raise_error(7);
        return;
    }
    for (int a = 0; a < 256; ++a) {
        float x = float(a) / 255.0f;
        for (int s = 0; s < 256; ++s)
            for (int d = 0; d < 256; ++d)
                blend[a * 65536 + s * 256 + d] = uint8_t(round_even(x * s + (1 - x) * d));
    }
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            alpha[i * 256 + j] =
                uint8_t(round_even((1 - (1 - i / 255.0) * (1 - j / 255.0)) * 255));
    ALPHA_TABLE = alpha;
    BLEND_TABLE = blend;
}

uint32_t blend_pixel(uint32_t d, uint32_t colour) {
    uint32_t ca = colour >> 24;
    if (ca == 0) return d;
    if (ca == 255) return colour;
    uint32_t da = d >> 24;
    if (ca == 128 || ca == 127) {
        uint32_t rgb = ((d & 0xFEFEFE) + (colour & 0xFEFEFE)) >> 1;
        return uint32_t(ALPHA_TABLE[ca * 256 + da]) << 24 | rgb;
    }
    const uint8_t* row = BLEND_TABLE + ca * 65536;
    uint32_t r = row[(colour >> 16 & 255) * 256 + (d >> 16 & 255)];
    uint32_t g = row[(colour >> 8 & 255) * 256 + (d >> 8 & 255)];
    uint32_t b = row[(colour & 255) * 256 + (d & 255)];
    return uint32_t(ALPHA_TABLE[da * 256 + ca]) << 24 | r << 16 | g << 8 | b;
}

void set_pixel(int32_t x, int32_t y, uint32_t colour) {
    ImageRecord* image = write_image;
    size_t at = size_t(y) * image->width + x;
    if (image->bytes_per_pixel == 1) {
        image->pixels[at] = uint8_t(colour & image->colour_mask);
        return;
    }
    uint32_t* pixel = reinterpret_cast<uint32_t*>(image->pixels) + at;
    *pixel = image->blend_disabled ? colour : blend_pixel(*pixel, colour);
}

void fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    ImageRecord* image = write_image;
    if (x2 < x1 || y2 < y1) return;
    size_t count = size_t(x2 - x1 + 1);
    for (int32_t y = y1; y <= y2; ++y) {
        size_t at = size_t(y) * image->width + x1;
        if (image->bytes_per_pixel == 1) {
            std::fill_n(image->pixels + at, count, uint8_t(colour & image->colour_mask));
            continue;
        }
        uint32_t* row = reinterpret_cast<uint32_t*>(image->pixels) + at;
        if (image->blend_disabled || colour >> 24 == 255)
            std::fill_n(row, count, colour);
        else if (colour >> 24 != 0)
            for (size_t i = 0; i < count; ++i) row[i] = blend_pixel(row[i], colour);
    }
}

int32_t nearest_palette_index(int32_t r, int32_t g, int32_t b, const ImageRecord* image) {
    uint32_t last = image->is_text ? 15 : image->colour_mask;
    int32_t best = 0, best_distance = 1000;
    for (uint32_t i = 0; i <= last && i < 256; ++i) {
        uint32_t c = image->palette[i];
        int32_t distance = std::abs(r - int32_t(c >> 16 & 255)) +
                           std::abs(g - int32_t(c >> 8 & 255)) + std::abs(b - int32_t(c & 255));
        if (distance < best_distance) {
            best_distance = distance;
            best = int32_t(i);
            if (distance == 0) break;
        }
    }
    return best;
}

static int32_t clamp_component(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

uint32_t colour_from_rgb(int32_t r, int32_t g, int32_t b, int32_t argument, int32_t given) {
    if (pending_error.load()) return 0;
    int32_t index = resolve_image(argument, given);
    if (!index) return 0;
    const ImageRecord* image = image_at(index);
    r = clamp_component(r), g = clamp_component(g), b = clamp_component(b);
    if (image->bits_per_pixel == 32) return 0xFF000000u + uint32_t(r << 16 | g << 8 | b);
    return uint32_t(nearest_palette_index(r, g, b, image));
}

uint32_t colour_from_rgba(int32_t r, int32_t g, int32_t b, int32_t a, int32_t argument,
                          int32_t given) {
    if (pending_error.load()) return 0;
    int32_t index = resolve_image(argument, given);
    if (!index) return 0;
    const ImageRecord* image = image_at(index);
    r = clamp_component(r), g = clamp_component(g), b = clamp_component(b);
    a = clamp_component(a);
    if (image->bits_per_pixel == 32) return uint32_t(a) << 24 | uint32_t(r << 16 | g << 8 | b);
    if (a == 0 && image->transparent_colour != -1) return uint32_t(image->transparent_colour);
    return uint32_t(nearest_palette_index(r, g, b, image));
}

// The byte at shift of a colour, or of its palette entry in a palette image.
static int32_t component_of(uint32_t colour, int32_t argument, int32_t given, int32_t shift) {
    if (pending_error.load()) return 0;
    int32_t index = resolve_image(argument, given);
    if (!index) return 0;
    const ImageRecord* image = image_at(index);
    if (image->bits_per_pixel == 32) return int32_t(colour >> shift & 255);
    if (colour > image->colour_mask || !image->palette) {
        raise_error(5);
        return 0;
    }
    if (shift == 24) return int32_t(colour) == image->transparent_colour ? 0 : 255;
    return int32_t(image->palette[colour] >> shift & 255);
}

int32_t alpha_of(uint32_t c, int32_t image, int32_t given) { return component_of(c, image, given, 24); }
int32_t red_of(uint32_t c, int32_t image, int32_t given) { return component_of(c, image, given, 16); }
int32_t green_of(uint32_t c, int32_t image, int32_t given) { return component_of(c, image, given, 8); }
int32_t blue_of(uint32_t c, int32_t image, int32_t given) { return component_of(c, image, given, 0); }

void set_pixel_alpha(int32_t alpha, uint32_t c1, uint32_t c2, int32_t argument, uint32_t flags) {
    if (pending_error.load()) return;
    int32_t index = resolve_image(argument, flags & 4);
    if (!index) return;
    ImageRecord* image = image_at(index);
    if (image->bits_per_pixel != 32 || alpha < 0 || alpha > 255) {
        raise_error(5);
        return;
    }
    bool first = flags & 1, second = flags & 2;
    if (second && !first) {
        c1 = c2;
        first = true;
        second = false;
    }
    bool range = first && second && c1 != c2;
    uint32_t* pixel = reinterpret_cast<uint32_t*>(image->pixels);
    size_t count = size_t(image->width) * image->height;
    uint32_t a = uint32_t(alpha) << 24;
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = pixel[i];
        bool match = !first || p == c1;
        if (range) {
            match = true;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t v = p >> shift & 255, lo = c1 >> shift & 255, hi = c2 >> shift & 255;
                if (lo > hi) std::swap(lo, hi);
                if (v < lo || v > hi) match = false;
            }
        }
        if (match) pixel[i] = (p & 0xFFFFFF) | a;
    }
}

void vga_colour_port_out(int32_t port, int32_t value) {
    switch (port) {
    case 0x3C8: dac_write_index = value & 255; dac_write_step = 0; return;
    case 0x3C7: dac_read_index = value & 255; dac_read_step = 0; return;
    case 0x3C9: break;
    default: return;
    }
    if (uint32_t* palette = write_image->palette) {
        int32_t shift = 16 - 8 * dac_write_step;
        uint32_t& entry = palette[dac_write_index];
        entry = (entry & ~(255u << shift)) | six_to_eight(uint32_t(value) & 63) << shift;
    }
    if (++dac_write_step == 3) {
        dac_write_step = 0;
        dac_write_index = (dac_write_index + 1) & 255;
    }
}

int32_t vga_colour_port_in() {
    uint32_t* palette = write_image->palette;
    if (!palette) return 0;
    uint32_t component = palette[dac_read_index] >> (16 - 8 * dac_read_step) & 255;
    int32_t value = round_even(double(float(component) / 3.984376f - 0.49999991059303284f));
    if (++dac_read_step == 3) {
        dac_read_step = 0;
        dac_read_index = (dac_read_index + 1) & 255;
    }
    return value;
}
