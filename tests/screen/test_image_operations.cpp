#include "runtime/screen/image_operations.h"

#include "tests/screen/fixture.h"

namespace {

class ImageOperations : public ::testing::Test {
protected:
    void TearDown() override {
        pending_error = 0;
        free_user_images();
    }
    static int32_t error() { return pending_error.exchange(0); }
};

TEST_F(ImageOperations, WidthInTextMode) {
    struct Case {
        int32_t columns, rows;
        uint32_t flags;
        int32_t width, height, font;
    };
    const Case cases[] = {
        {80, 43, 3, 80, 43, 14}, {40, 0, 1, 40, 25, 17}, {80, 50, 3, 80, 50, 8},
        {132, 60, 3, 132, 60, 8}, {0, 30, 2, 80, 30, 16},
    };
    for (const Case& c : cases) {
        fresh_screen(0);
        set_text_size(0, c.columns, c.rows, c.flags);
        ASSERT_EQ(error(), 0);
        EXPECT_EQ((std::vector<int32_t>{write_image->width, write_image->height, write_image->font}),
                  (std::vector<int32_t>{c.width, c.height, c.font}))
            << c.columns << "x" << c.rows;
    }
    // Asking again for the same size changes nothing.
    ImageRecord* before = write_image;
    set_text_size(0, 132, 60, 3);
    EXPECT_EQ(write_image, before);
}

TEST_F(ImageOperations, WidthInGraphicsModes) {
    fresh_screen(12);
    set_text_size(0, 80, 60, 3);  // 480 = 60 × 8
    EXPECT_EQ(write_image->font, 8);
    EXPECT_EQ(write_image->mode, 12);
    set_text_size(0, 80, 30, 3);  // back to font 16
    EXPECT_EQ(write_image->font, 16);
    set_text_size(0, 100, 0, 1);
    EXPECT_EQ(error(), 5);
    set_text_size(0, 80, 43, 3);  // nothing fits: an 80 × 43 text screen
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image->mode, 0);
    EXPECT_EQ((std::pair<int, int>{write_image->height, write_image->font}), (std::pair<int, int>{43, 14}));

    fresh_screen(9);
    set_text_size(0, 80, 43, 3);
    EXPECT_EQ(write_image->mode, 9);
    EXPECT_EQ(write_image->font, 8);
    EXPECT_EQ(write_image->height, 350);
}

TEST_F(ImageOperations, WidthErrors) {
    fresh_screen(0);
    const struct {
        int32_t device, columns, rows;
        uint32_t flags;
    } cases[] = {{0, 0, 0, 0}, {0, 0, 25, 1}, {0, 80, -1, 3}, {1, 80, 0, 1},
                 {2, 0, 0, 1}, {2, 256, 0, 1}, {2, 80, 5, 3}, {2, 80, 0, 2}};
    for (const auto& c : cases) {
        set_text_size(c.device, c.columns, c.rows, c.flags);
        EXPECT_EQ(error(), 5) << c.device << " " << c.columns << " " << c.rows;
    }
    set_text_size(2, 132, 0, 1);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(printer_width, 132);
}

TEST_F(ImageOperations, WidthResizesAThirtyTwoBitImage) {
    fresh_screen(12);
    int32_t handle = create_image(640, 480, 32, 1);
    ASSERT_LT(handle, -1);
    set_write_image(handle);
    write_image->foreground = 0xFF112233;
    write_image->cursor_row = 5;
    set_text_size(0, 100, 40, 3);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image->width, 800);
    EXPECT_EQ(write_image->height, 640);
    EXPECT_EQ(write_image->foreground, 0xFF112233u);
    EXPECT_EQ(write_image->font, 16);
    EXPECT_EQ(write_image->cursor_row, 1);
    EXPECT_EQ(write_image->pixels[800 * 640 * 4 - 1], 0);
}

TEST_F(ImageOperations, CreateImage) {
    fresh_screen(12);
    EXPECT_EQ(create_image(0, 10, 32, 1), 0);
    EXPECT_EQ(error(), 5);
    EXPECT_EQ(create_image(10, 10, 5, 1), 0);
    EXPECT_EQ(error(), 5);
    write_image->foreground = 4;
    write_image->palette[3] = 0xFF010203;
    int32_t handle = create_image(16, 8, 0, 0);
    ASSERT_LT(handle, -1);
    EXPECT_EQ(image_width(handle, 1), 16);
    EXPECT_EQ(image_pixel_size(handle, 1), 1);
    EXPECT_EQ(image_foreground(handle, 1), 4u);
    EXPECT_EQ(image_palette_entry(3, handle, 1), 0xFF010203u);
    EXPECT_EQ(image_clear_colour(handle, 1), -1);
    int32_t wide = create_image(4, 4, 32, 1);
    EXPECT_EQ(image_clear_colour(wide, 1), 0);
    EXPECT_EQ(image_pixel_size(wide, 1), 4);
    EXPECT_EQ(image_blending(wide, 1), -1);
}

TEST_F(ImageOperations, CopyAndFree) {
    fresh_screen(12);
    write_image->pixels[1234] = 9;
    int32_t copy = copy_image(0, 1);
    ASSERT_LT(copy, -1);
    ImageRecord* image = image_at(-copy);
    EXPECT_EQ(image->pixels[1234], 9);
    EXPECT_NE(image->pixels, write_image->pixels);
    EXPECT_NE(image->palette, write_image->palette);
    EXPECT_FALSE(image->image_flags & DISPLAY_PAGE);
    free_image(copy, 1);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image->pixels[1234], 9);  // page 0 untouched
    free_image(0, 1);
    EXPECT_EQ(error(), 5);
    free_image(-1, 1);
    EXPECT_EQ(error(), 258);
    free_image(copy, 1);  // already freed
    EXPECT_EQ(error(), 258);
    free_image(0, 0);  // the write image is a display page
    EXPECT_EQ(error(), 5);
}

TEST_F(ImageOperations, FreeingTheWriteImageFallsBackToTheDisplayImage) {
    fresh_screen(12);
    int32_t handle = create_image(8, 8, 12, 1);
    set_write_image(handle);
    set_read_image(handle);
    EXPECT_EQ(write_image_handle(), handle);
    free_image(0, 0);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image_handle(), display_image_handle());
    EXPECT_EQ(read_image_handle(), display_image_handle());
    set_write_image(-9999);
    EXPECT_EQ(error(), 258);
}

TEST_F(ImageOperations, PaletteBlendingAndClearColour) {
    fresh_screen(12);
    EXPECT_EQ(image_palette_entry(256, 0, 0), 0u);
    EXPECT_EQ(error(), 5);
    EXPECT_EQ(set_image_palette_entry(2, 0x00ABCDEF, 0, 0), 0x00ABCDEFu);
    EXPECT_EQ(write_image->palette[2], 0x00ABCDEFu);
    set_blending(1, 0, 0);
    EXPECT_EQ(error(), 5);
    set_blending(0, 0, 0);
    EXPECT_EQ(error(), 0);
    set_clear_colour(7, 0, 2);
    EXPECT_EQ(image_clear_colour(0, 0), 7);
    set_clear_colour(0, 0, 1);
    EXPECT_EQ(image_clear_colour(0, 0), -1);
    set_clear_colour(300, 0, 2);
    EXPECT_EQ(error(), 5);
    set_clear_colour(1, 0, 3);  // marker and colour together
    EXPECT_EQ(error(), 5);

    int32_t wide = create_image(2, 1, 32, 1);
    uint32_t* p = reinterpret_cast<uint32_t*>(image_at(-wide)->pixels);
    p[0] = 0xFF102030;
    p[1] = 0xFF102031;
    set_clear_colour(0x00102030, wide, 2 | 4);
    EXPECT_EQ(p[0], 0x00102030u);
    EXPECT_EQ(p[1], 0xFF102031u);
    copy_palette(wide, 0, 3);
    EXPECT_EQ(error(), 5);
}

}  // namespace
