// Palettes and colour: the default palettes, COLOR and PALETTE, storing a
// colour into a pixel, and building and splitting colour values.
#pragma once
#include <cstdint>

#include "runtime/screen/image.h"

// Constant tables, copied at start-up with alpha 0xFF.
extern uint32_t DEFAULT_PALETTE_256[256];
extern uint32_t EGA_PALETTE_64[64];
extern uint32_t MODE10_LEVELS[2][9];   // blink phase x pseudo-colour, no alpha

// Made by make_blend_tables before the first 32-bit image; never freed.
extern uint8_t* BLEND_TABLE;            // [a * 65536 + s * 256 + d]
extern uint8_t* ALPHA_TABLE;            // [i * 256 + j]

// The 16 standard colours (entries 0 to 15 of DEFAULT_PALETTE_256).
uint32_t standard_colour(int32_t index);

// COLOR. flags: bit 0 foreground, bit 1 background, bit 2 border given.
void set_colour(int64_t foreground, int64_t background, int64_t border, uint32_t flags);
// PALETTE; given 0 restores the defaults.
void set_palette(int64_t attribute, int64_t colour, int32_t given);
// PALETTE USING over an array of 16- or 32-bit integers.
void set_palette_using(const void* elements, int64_t count, int32_t element_bits);
void set_default_palette(ImageRecord* image);

// The one rule for storing a colour into the write image (no clipping).
void set_pixel(int32_t x, int32_t y, uint32_t colour);
void fill_box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void make_blend_tables();
// Blends colour over one 32-bit pixel as set_pixel does with blending on.
uint32_t blend_pixel(uint32_t old_pixel, uint32_t colour);

int32_t nearest_palette_index(int32_t r, int32_t g, int32_t b, const ImageRecord* image);
uint32_t colour_from_rgb(int32_t r, int32_t g, int32_t b, int32_t image, int32_t given);
uint32_t colour_from_rgba(int32_t r, int32_t g, int32_t b, int32_t a, int32_t image, int32_t given);
int32_t alpha_of(uint32_t colour, int32_t image, int32_t given);
int32_t red_of(uint32_t colour, int32_t image, int32_t given);
int32_t green_of(uint32_t colour, int32_t image, int32_t given);
int32_t blue_of(uint32_t colour, int32_t image, int32_t given);
// flags: bit 0 first colour, bit 1 second colour, bit 2 image given.
void set_pixel_alpha(int32_t alpha, uint32_t c1, uint32_t c2, int32_t image, uint32_t flags);

// The VGA colour registers behind ports &H3C7, &H3C8 and &H3C9.
void vga_colour_port_out(int32_t port, int32_t value);
int32_t vga_colour_port_in();

// A 6-bit DAC component as an 8-bit one, as PALETTE converts it.
uint32_t dac_to_8bit(uint32_t component);

void palettes_startup();
