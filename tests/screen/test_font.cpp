#include <string>

#include "fixture.h"
#include "runtime/values/basic_string.h"

namespace {

using Fonts = Screen;

// Rows of a glyph as "#" and "." strings.
std::string glyph_rows(int32_t font, uint32_t code) {
    const uint8_t* g = glyph_of(font, code);
    std::string rows;
    for (int32_t r = 0; r < font_height[font]; ++r) {
        for (int c = 0; c < 8; ++c) rows += g[r * 8 + c] ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

// Rows of a glyph that hold any ink.
std::string ink_rows(int32_t font, uint32_t code) {
    std::string rows = glyph_rows(font, code), marks;
    for (size_t r = 0; r * 9 < rows.size(); ++r)
        marks += rows.substr(r * 9, 8).find('#') != std::string::npos ? '#' : '.';
    return marks;
}

TEST_F(Fonts, CapitalAOfTheSmallFont) {
    EXPECT_EQ(glyph_rows(8, 'A'),
              "..##....\n"
              ".####...\n"
              "##..##..\n"
              "##..##..\n"
              "######..\n"
              "##..##..\n"
              "##..##..\n"
              "........\n");
}

TEST_F(Fonts, TellingGlyphRows) {
    struct Case { int32_t font; uint32_t code; const char* rows; };
    for (Case c : {Case{8, 220, "....####"}, Case{16, 220, ".......#########"},
                   Case{14, 220, "......########"}, Case{8, 0, "........"},
                   Case{16, 32, "................"}, Case{16, 255, "................"},
                   Case{8, 219, "########"}, Case{16, 219, "################"}})
        EXPECT_EQ(ink_rows(c.font, c.code), c.rows) << c.font << " " << c.code;
    EXPECT_EQ(glyph_rows(16, 219).find('.'), std::string::npos);
    EXPECT_EQ(GLYPHS_8X16[219 * 128], 255);
}

TEST_F(Fonts, EveryVisibleCharacterHasInk) {
    for (uint32_t code = 1; code < 255; ++code) {
        if (code == 32) continue;
        EXPECT_NE(ink_rows(8, code).find('#'), std::string::npos) << code;
        EXPECT_NE(ink_rows(16, code).find('#'), std::string::npos) << code;
    }
}

TEST_F(Fonts, FontTables) {
    struct Metric { int32_t font, width, height; };
    for (Metric m : {Metric{8, 8, 8}, Metric{9, 16, 8}, Metric{14, 8, 14}, Metric{15, 16, 14},
                     Metric{16, 8, 16}, Metric{17, 16, 16}}) {
        EXPECT_EQ(font_width[m.font], m.width);
        EXPECT_EQ(font_height[m.font], m.height);
        EXPECT_EQ(font_flags[m.font], FONT_MONOSPACE);
        EXPECT_TRUE(font_is_valid(m.font));
    }
    EXPECT_EQ(highest_font, 48);
    for (int32_t font : {0, 7, 10, 31, 32, 48, 49, -1}) EXPECT_FALSE(font_is_valid(font)) << font;
}

TEST_F(Fonts, TextCellAttributeCarriesBlinkAndBackground) {
    set_colour(20, 3, 0, 3);
    draw_glyph(65);
    EXPECT_EQ(write_image->pixels[0], 65);
    EXPECT_EQ(attribute_at(write_image, 1, 1), 0xB4);
}

TEST_F(Fonts, PrintModesOnAGraphicsPage) {
    fresh_screen(12);
    set_colour(7, 1, 0, 3);
    draw_glyph(0);  // blank glyph, fill background
    EXPECT_EQ(write_image->pixels[0], 1);
    fresh_screen(12);
    set_colour(7, 1, 0, 3);
    set_print_mode(2, 0, 0);  // keep background
    EXPECT_EQ(write_image->print_mode, 1);
    draw_glyph(219);
    EXPECT_EQ(write_image->pixels[0], 7);
    write_image->cursor_column = 2;
    draw_glyph(32);
    EXPECT_EQ(write_image->pixels[8], 0);
    set_print_mode(3, 0, 0);  // only background
    write_image->cursor_column = 3;
    draw_glyph(219);
    draw_glyph(32);
    EXPECT_EQ(write_image->pixels[16], 1);
}

TEST_F(Fonts, GlyphBlockOnScreen12) {
    fresh_screen(12);
    set_colour(7, 0, 0, 3);
    write_image->cursor_row = 2;
    write_image->cursor_column = 3;
    draw_glyph('A');
    const uint8_t* g = glyph_of(16, 'A');
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(write_image->pixels[(16 + y) * 640 + 16 + x], g[y * 8 + x] ? 7 : 0);
}

TEST_F(Fonts, DoubleWidthFontDoublesEveryPixel) {
    fresh_screen(12);
    set_font(17, 0, 0);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image->font, 17);
    write_image->cursor_column = 2;
    draw_glyph('A');
    const uint8_t* g = glyph_of(16, 'A');
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(write_image->pixels[y * 640 + 16 + x], g[y * 8 + x / 2] ? 15 : 0);
}

TEST_F(Fonts, FontOperationsRefuseBadFonts) {
    fresh_screen(12);
    EXPECT_EQ(font_height_of(9, 1), 0);
    EXPECT_EQ(error(), 258);
    pending_error = 0;
    EXPECT_EQ(font_height_of(14, 1), 14);
    EXPECT_EQ(font_width_of(0, 0), 8);
    set_font(9, 0, 0);
    EXPECT_EQ(error(), 0);
    set_font(12, 0, 0);
    EXPECT_EQ(error(), 258);
    EXPECT_EQ(write_image->font, 9);
}

TEST_F(Fonts, FontOfTheTextScreenGoesToEveryPage) {
    write_image->cursor_row = 5;
    set_font(8, 0, 0);
    for (int32_t p = 0; p < 8; ++p) EXPECT_EQ(image_at(page_image_index(p))->font, 8);
    EXPECT_EQ(write_image->cursor_row, 5);
    set_font(16, 0, 0);
}

TEST_F(Fonts, PrintModeOnTheTextScreen) {
    set_print_mode(2, 0, 0);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_print_mode(1, 0, 0);
    EXPECT_EQ(error(), 0);
}

TEST_F(Fonts, TextPixelWidth) {
    BasicString s{};
    s.length = 5;
    EXPECT_EQ(text_pixel_width(&s, 0, 0), 0);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    fresh_screen(12);
    set_font(17, 0, 0);
    EXPECT_EQ(text_pixel_width(&s, 0, 0), 40);
}

TEST_F(Fonts, CodePageTable) {
    EXPECT_EQ(char_of_unicode(0x263A), 1);
    EXPECT_EQ(char_of_unicode(0x00A0), 0);
    EXPECT_EQ(char_of_unicode(0x0020), 0);
    EXPECT_EQ(char_of_unicode(0x2302), 127);
    EXPECT_EQ(char_of_unicode(0x00E9), 130);
    EXPECT_EQ(char_of_unicode(0x25A0), 254);
    EXPECT_EQ(unicode_of_char(255), 0x20);
    EXPECT_EQ(unicode_of_char(176), 0x2591);
    unicode_of_char(256);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_unicode_of_char(0x10000, 3);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_unicode_of_char(0x00A0, 255);
    EXPECT_EQ(char_of_unicode(0x00A0), 255);
    set_unicode_of_char(0x0020, 255);
}

}  // namespace

namespace {

// A printed run must match the glyphs one by one, in every built-in font.
TEST(GlyphRuns, PrintedTextMatchesEachGlyph) {
    for (int32_t mode : {9, 12, 13, 1}) {
        fresh_screen(mode);
        write_image->foreground = 3;
        const std::string text = "Ab\xdc\xdb";
        print(text, 0);
        const ImageRecord* w = write_image;
        int32_t fh = font_height[w->font];
        for (size_t k = 0; k < text.size(); ++k) {
            const uint8_t* g = glyph_of(w->font, uint8_t(text[k]));
            for (int32_t y = 0; y < fh; ++y)
                for (int32_t x = 0; x < 8; ++x)
                    ASSERT_EQ(w->pixels[y * w->width + k * 8 + x], g[y * 8 + x] ? 3 : 0)
                        << "mode " << mode << " char " << k << " at " << x << "," << y;
        }
    }
}

}  // namespace
