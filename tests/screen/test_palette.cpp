#include <algorithm>

#include "fixture.h"

namespace {

using Palettes = Screen;

TEST_F(Palettes, TellingEntriesOfTheConstantTables) {
    struct Entry { uint32_t index, colour; };
    for (Entry e : {Entry{7, 0xAAAAAA}, Entry{8, 0x555555}, Entry{17, 0x141414}, Entry{23, 0x616161},
                    Entry{31, 0xFFFFFF}, Entry{32, 0x0000FF}, Entry{33, 0x4100FF}, Entry{40, 0xFF0000},
                    Entry{48, 0x00FF00}, Entry{56, 0x7D7DFF}, Entry{80, 0xB6B6FF},
                    Entry{104, 0x000071}, Entry{176, 0x000041}, Entry{247, 0x2D3141},
                    Entry{248, 0}, Entry{255, 0}})
        EXPECT_EQ(DEFAULT_PALETTE_256[e.index], 0xFF000000 | e.colour) << e.index;
    EXPECT_EQ(EGA_PALETTE_64[20], 0xFFAA5500u);
    EXPECT_EQ(EGA_PALETTE_64[63], 0xFFFFFFFFu);
    EXPECT_EQ(EGA_PALETTE_64[57], 0xFF5555FFu);
    const uint32_t levels[3] = {0, 0x808080, 0xFFFFFF};
    for (int p = 0; p < 9; ++p) {
        EXPECT_EQ(MODE10_LEVELS[0][p], levels[p / 3]);
        EXPECT_EQ(MODE10_LEVELS[1][p], levels[p % 3]);
    }
}

TEST_F(Palettes, DefaultPaletteOfEachMode) {
    fresh_screen(1);
    EXPECT_EQ(write_image->palette[1], 0xFF00AAAAu);
    EXPECT_EQ(write_image->palette[3], 0xFFAAAAAAu);
    fresh_screen(2);
    EXPECT_EQ(write_image->palette[1], 0x00FFFFFFu);
    fresh_screen(9);
    EXPECT_EQ(write_image->palette[6], 0xFFAA5500u);
    EXPECT_EQ(write_image->palette[8], EGA_PALETTE_64[56]);
    fresh_screen(10);
    EXPECT_EQ(write_image->palette[5], 4u);
    EXPECT_EQ(write_image->palette[7], 8u);
    fresh_screen(13);
    EXPECT_EQ(write_image->palette[200], DEFAULT_PALETTE_256[200]);
}

struct ColourCase {
    int32_t mode;
    int64_t f, b, border;
    uint32_t flags;
    int32_t error;
    uint32_t foreground, background;
};

class ColourStatement : public Screen, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourStatement, StoresOrRefuses) {
    const ColourCase& c = GetParam();
    fresh_screen(c.mode);
    uint32_t fg = write_image->foreground, bg = write_image->background;
    set_colour(c.f, c.b, c.border, c.flags);
    EXPECT_EQ(error(), c.error);
    EXPECT_EQ(write_image->foreground, c.error ? fg : c.foreground);
    EXPECT_EQ(write_image->background, c.error ? bg : c.background);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, ColourStatement,
    ::testing::Values(ColourCase{12, 7, 0, 0, 3, 0, 7, 0}, ColourCase{12, 16, 0, 0, 3, 5, 0, 0},
                      ColourCase{12, 7, 0, 1, 7, 5, 0, 0}, ColourCase{0, 7, 0, 1, 7, 0, 7, 0},
                      ColourCase{0, 20, 9, 0, 3, 0, 20, 1}, ColourCase{0, 32, 0, 0, 1, 5, 0, 0},
                      ColourCase{0, 7, 16, 0, 2, 5, 0, 0}, ColourCase{13, 255, 254, 0, 3, 0, 255, 254},
                      ColourCase{11, 1, 2, 0, 3, 5, 0, 0}, ColourCase{10, 3, 8, 0, 3, 0, 3, 0},
                      ColourCase{12, -1, 0, 0, 1, 5, 0, 0}, ColourCase{12, 0, 5, 0, 2, 0, 15, 5}));

TEST_F(Palettes, ColourChangesPaletteEntriesInTheOldModes) {
    fresh_screen(1);
    set_colour(1, 0, 0, 1);
    EXPECT_EQ(write_image->palette[0], 0xFF0000AAu);
    EXPECT_EQ(write_image->foreground, 3u);
    set_colour(0, 2, 0, 2);
    EXPECT_EQ(write_image->palette[1], 0xFF00AA00u);  // even: green, red, brown
    fresh_screen(9);
    set_colour(1, 20, 0, 3);
    EXPECT_EQ(write_image->palette[0], 0xFFAA5500u);
    fresh_screen(12);
    set_colour(7, 0, 0, 3);
    EXPECT_EQ(write_image->palette[0], 0xFF000000u);
    EXPECT_EQ(write_image->palette[7], 0xFFAAAAAAu);
}

TEST_F(Palettes, PaletteStatement) {
    fresh_screen(12);
    set_palette(1, 63, 1);
    EXPECT_EQ(write_image->palette[1], 0x00FF0000u);
    set_palette(1, 32, 1);
    EXPECT_EQ(write_image->palette[1], 0x00820000u);  // red 130
    set_palette(2, 0x3F0000, 1);
    EXPECT_EQ(write_image->palette[2], 0x000000FFu);
    set_palette(1, 64, 1);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_palette(16, 0, 1);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    write_image->palette[20] = 1234;
    set_palette(0, 0, 0);
    EXPECT_EQ(write_image->palette[1], 0xFF0000AAu);
    EXPECT_EQ(write_image->palette[20], 1234u);
    fresh_screen(13);
    set_palette(300, 0, 1);
    EXPECT_EQ(write_image->palette[44], 0u);
    fresh_screen(0);
    set_palette(3, 20, 1);
    EXPECT_EQ(write_image->palette[3], 0xFFAA5500u);
}

TEST_F(Palettes, PaletteUsingStopsAtTheFirstError) {
    fresh_screen(12);
    int32_t values[16];
    for (int i = 0; i < 16; ++i) values[i] = -1;
    values[2] = 63;
    values[5] = -2;
    values[6] = 63;
    set_palette_using(values, 16, 32);
    EXPECT_EQ(error(), 5);
    EXPECT_EQ(write_image->palette[2], 0x00FF0000u);
    EXPECT_EQ(write_image->palette[6], 0xFFAA5500u);
    pending_error = 0;
    int16_t shorts[16] = {};
    set_palette_using(shorts, 16, 16);  // refused in mode 12
    EXPECT_EQ(error(), 5);
}

TEST_F(Palettes, ColourFromComponents) {
    fresh_screen(12);
    EXPECT_EQ(colour_from_rgb(255, 255, 255, 0, 0), 15u);
    EXPECT_EQ(colour_from_rgb(170, 85, 0, 0, 0), 6u);
    EXPECT_EQ(colour_from_rgb(128, 128, 128, 0, 0), 7u);
    EXPECT_EQ(colour_from_rgb(999, -5, -5, 0, 0), 4u);
    EXPECT_EQ(red_of(4, 0, 0), 0xAA);
    EXPECT_EQ(alpha_of(4, 0, 0), 255);
    alpha_of(16, 0, 0);
    EXPECT_EQ(error(), 5);
}

class Blending : public Screen {
protected:
    void SetUp() override {
        Screen::SetUp();
        index = alloc_image(4, 4, 32);
        saved = write_image;
        write_image = image_at(index);
    }
    void TearDown() override {
        write_image = saved;
        free_image_memory(index);
        Screen::TearDown();
    }
    uint32_t pixel(int i) { return reinterpret_cast<uint32_t*>(write_image->pixels)[i]; }
    int32_t index = 0;
    ImageRecord* saved = nullptr;
};

TEST_F(Blending, SetPixelBlendsByAlpha) {
    set_pixel(0, 0, 0xFF0000FF);
    set_pixel(0, 0, 0x80FF0000);
    EXPECT_EQ(pixel(0), 0xFF7F007Fu);
    reinterpret_cast<uint32_t*>(write_image->pixels)[1] = 0x12345678;
    set_pixel(1, 0, 0x00FFFFFF);  // alpha 0 changes nothing
    EXPECT_EQ(pixel(1), 0x12345678u);
    set_pixel(2, 0, 0xFF000000);
    set_pixel(2, 0, 0x40FFFFFF);
    EXPECT_EQ(pixel(2), 0xFF404040u);
    write_image->blend_disabled = 1;
    set_pixel(3, 0, 0x40FFFFFF);
    EXPECT_EQ(pixel(3), 0x40FFFFFFu);
    EXPECT_EQ(ALPHA_TABLE[128 * 256 + 255], 255);
    EXPECT_EQ(BLEND_TABLE[255 * 65536 + 200 * 256 + 3], 200);
}

TEST_F(Blending, PixelAlphaByRangeAndByColour) {
    write_image->blend_disabled = 1;
    fill_box(0, 0, 3, 3, 0xFF101010);
    set_pixel(1, 1, 0xFF808080);
    set_pixel_alpha(7, 0xFF808080, 0, -index, 1 | 4);
    EXPECT_EQ(pixel(5), 0x07808080u);
    EXPECT_EQ(pixel(0), 0xFF101010u);
    set_pixel_alpha(9, 0x00000000, 0xFF202020, -index, 1 | 2 | 4);
    EXPECT_EQ(pixel(0), 0x09101010u);
    EXPECT_EQ(pixel(5), 0x07808080u);
}

TEST_F(Palettes, VgaColourRegistersRoundTrip) {
    fresh_screen(12);
    vga_colour_port_out(0x3C8, 3);
    for (int v : {63, 32, 0}) vga_colour_port_out(0x3C9, v);
    EXPECT_EQ(write_image->palette[3] & 0xFFFFFF, 0xFF8200u);
    vga_colour_port_out(0x3C7, 3);
    EXPECT_EQ(vga_colour_port_in(), 63);
    EXPECT_EQ(vga_colour_port_in(), 32);
    EXPECT_EQ(vga_colour_port_in(), 0);
}

}  // namespace

namespace {

struct PaletteCase {
    int32_t mode;
    int64_t attribute, colour;
    int32_t error;
    int32_t entry;
    uint32_t value;
};

class PaletteByMode : public Screen, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(PaletteByMode, SetsTheEntryOrRefuses) {
    const PaletteCase& c = GetParam();
    fresh_screen(c.mode);
    uint32_t before[256];
    std::copy(write_image->palette, write_image->palette + 256, before);
    set_palette(c.attribute, c.colour, 1);
    EXPECT_EQ(error(), c.error);
    for (int32_t i = 0; i < 256; ++i)
        EXPECT_EQ(write_image->palette[i], i == c.entry && !c.error ? c.value : before[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Screen, PaletteByMode,
    ::testing::Values(PaletteCase{12, 15, 0x3F3F3F, 0, 15, 0x00FFFFFF},
                      PaletteCase{12, 3, 0x400000, 5, -1, 0}, PaletteCase{11, 2, 0, 5, -1, 0},
                      PaletteCase{11, 1, 0x00003F, 0, 1, 0x00FF0000},
                      PaletteCase{13, 255, 0x010203, 0, 255, 0x000C0804},
                      PaletteCase{10, 3, 8, 0, 7, 8}, PaletteCase{10, 4, 0, 5, -1, 0},
                      PaletteCase{10, 0, 9, 5, -1, 0}, PaletteCase{9, 2, 63, 0, 2, 0xFFFFFFFF},
                      PaletteCase{9, 16, 0, 5, -1, 0}, PaletteCase{0, 1, 64, 5, -1, 0},
                      PaletteCase{8, 0, 12, 0, 0, 0xFFFF5555}, PaletteCase{8, 0, 16, 5, -1, 0},
                      PaletteCase{2, 2, 1, 5, -1, 0}, PaletteCase{1, 3, 15, 0, 3, 0xFFFFFFFF},
                      PaletteCase{12, 257, 63, 0, 1, 0x00FF0000}));

}  // namespace
