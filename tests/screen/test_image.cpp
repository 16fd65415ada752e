#include <cstring>

#include "fixture.h"

namespace {

using Images = Screen;

ImageRecord* page(int32_t n) { return image_at(page_image_index(n)); }

TEST_F(Images, StartUpScreenIsEightTextPagesInVideoMemory) {
    ImageRecord* first = page(0);
    EXPECT_EQ(first->width, 80);
    EXPECT_EQ(first->height, 25);
    EXPECT_EQ(first->font, 16);
    EXPECT_EQ(first->foreground, 7u);
    EXPECT_EQ(first->view_print_bottom, 24);
    ASSERT_EQ(page_count(), 8);
    for (int32_t p = 0; p < 8; ++p) {
        EXPECT_EQ(page(p)->pixels, ConventionalMemory + TEXT_VIDEO_MEMORY + p * 4096) << p;
        EXPECT_TRUE(page(p)->image_flags & DISPLAY_PAGE);
        EXPECT_TRUE(page(p)->image_flags & OWNS_PALETTE);  // text pages keep their own
    }
    EXPECT_EQ(first->pixels[0], 32);
    EXPECT_EQ(first->pixels[1], 7);
    EXPECT_EQ(write_image, first);
    EXPECT_EQ(display_image.load(), first);
}

TEST_F(Images, Screen12GivesOnePageOfFourBitIndices) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    ImageRecord* first = page(0);
    EXPECT_EQ(page_count(), 1);
    EXPECT_EQ(first->width, 640);
    EXPECT_EQ(first->height, 480);
    EXPECT_EQ(first->colour_mask, 15u);
    EXPECT_EQ(first->font, 16);
    EXPECT_EQ(first->view_print_bottom, 29);
    EXPECT_EQ(first->foreground, 15u);
    EXPECT_EQ(first->graphics_x, 320.0f);
    EXPECT_EQ(first->palette[7], 0xFFAAAAAAu);
    EXPECT_EQ(first->palette[16], 0u);
}

TEST_F(Images, RepeatingScreen12KeepsTextAndCursor) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    print("HELLO", 0);
    ImageRecord* before = page(0);
    set_screen_mode(12, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0), before);
    EXPECT_EQ(before->cursor_column, 6);
    EXPECT_TRUE(cell_has_ink(before, 1, 1));
}

TEST_F(Images, Screen0AfterScreen12IsTheDefaultTextScreen) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    set_screen_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0)->width, 80);
    EXPECT_EQ(page(0)->height, 25);
    EXPECT_EQ(page(0)->font, 16);
    ASSERT_EQ(page_count(), 8);
    EXPECT_EQ(page(7)->pixels, ConventionalMemory + TEXT_VIDEO_MEMORY + 7 * 4096);
}

struct PendingWidth {
    int32_t columns, rows, font;
    int32_t want_columns, want_rows, want_font;
    size_t page_size;
    int32_t in_video;
};

class PendingWidthCase : public Screen, public ::testing::WithParamInterface<PendingWidth> {};

TEST_P(PendingWidthCase, BuildsPagesOfThatSize) {
    const PendingWidth& c = GetParam();
    pending_text_columns = c.columns;
    pending_text_rows = c.rows;
    pending_text_font = c.font;
    set_screen_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0)->width, c.want_columns);
    EXPECT_EQ(page(0)->height, c.want_rows);
    EXPECT_EQ(page(0)->font, c.want_font);
    EXPECT_EQ(pending_text_columns, -1);
    uint8_t* video = ConventionalMemory + TEXT_VIDEO_MEMORY;
    for (int32_t p = 0; p < 8; ++p) {
        bool inside = page(p)->pixels == video + p * c.page_size;
        EXPECT_EQ(inside, p < c.in_video) << "page " << p;
        EXPECT_EQ(bool(page(p)->image_flags & OWNS_PIXELS), p >= c.in_video);
    }
}

INSTANTIATE_TEST_SUITE_P(Screen, PendingWidthCase,
                         ::testing::Values(PendingWidth{80, 50, 8, 80, 50, 8, 8000, 8},
                                           PendingWidth{132, 60, 8, 132, 60, 8, 15840, 4},
                                           PendingWidth{40, -1, -1, 40, 25, 17, 2048, 8},
                                           PendingWidth{-1, 43, -1, 80, 43, 14, 6880, 8}));

TEST_F(Images, Screen12AfterAn80By60TextScreenKeepsTheSmallFont) {
    pending_text_columns = 80;
    pending_text_rows = 60;
    pending_text_font = 8;
    set_screen_mode(0, 0, 0, 0, 0, 1);
    set_screen_mode(12, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0)->font, 8);
    EXPECT_EQ(page(0)->view_print_bottom, 59);
    set_screen_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0)->height, 25);  // 80 x 60 matches no text rule
}

TEST_F(Images, OldTextGeometryCarriesIntoScreen0) {
    struct Case { int32_t mode; int32_t columns, rows, font; };
    for (Case c : {Case{13, 40, 25, 17}, Case{9, 80, 25, 16}, Case{1, 40, 25, 17}}) {
        fresh_screen(c.mode);
        set_screen_mode(0, 0, 0, 0, 0, 1);
        EXPECT_EQ(page(0)->width, c.columns) << c.mode;
        EXPECT_EQ(page(0)->height, c.rows) << c.mode;
        EXPECT_EQ(page(0)->font, c.font) << c.mode;
    }
}

TEST_F(Images, EveryGraphicsModeHasItsSizeAndDefaults) {
    struct Mode { int32_t mode, width, height, bits, font; uint32_t foreground; };
    for (Mode m : {Mode{1, 320, 200, 2, 8, 3}, Mode{2, 640, 200, 1, 8, 1}, Mode{7, 320, 200, 4, 8, 15},
                   Mode{8, 640, 200, 4, 8, 15}, Mode{9, 640, 350, 4, 14, 15}, Mode{10, 640, 350, 2, 14, 3},
                   Mode{11, 640, 480, 1, 16, 1}, Mode{12, 640, 480, 4, 16, 15},
                   Mode{13, 320, 200, 8, 8, 15}}) {
        fresh_screen(m.mode);
        ImageRecord* p = page(0);
        EXPECT_EQ(p->width, m.width) << m.mode;
        EXPECT_EQ(p->height, m.height) << m.mode;
        EXPECT_EQ(p->bits_per_pixel, m.bits) << m.mode;
        EXPECT_EQ(p->font, m.font) << m.mode;
        EXPECT_EQ(p->foreground, m.foreground) << m.mode;
        EXPECT_EQ(p->pixels == ConventionalMemory + GRAPHICS_VIDEO_MEMORY, m.mode == 13) << m.mode;
    }
}

TEST_F(Images, BadModesAndPagesChangeNothing) {
    for (int32_t mode : {3, 4, 5, 6, 14, 256, 32}) {
        pending_error = 0;
        ImageRecord* before = page(0);
        set_screen_mode(mode, 0, 0, 0, 0, 1);
        EXPECT_EQ(error(), 5) << mode;
        EXPECT_EQ(page(0), before);
    }
    pending_error = 0;
    set_screen_mode(0, 0, -1, 0, 0, 5);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_screen_mode(-1, 0, 0, 0, 0, 1);  // index 1 never names an image
    EXPECT_EQ(error(), 258);
}

TEST_F(Images, FreedHandleGivenToScreenIsInvalid) {
    int32_t index = alloc_image(64, 64, 12);
    free_image_memory(index);
    set_screen_mode(-index, 0, 0, 0, 0, 1);
    EXPECT_EQ(error(), 258);
    pending_error = 0;
    EXPECT_EQ(resolve_image(-index, 1), 0);
    EXPECT_EQ(error(), 258);
}

TEST_F(Images, HandleBecomesPageZeroAndSurvivesTheNextModeChange) {
    int32_t index = alloc_image(100, 50, 13);
    set_screen_mode(-index, 0, 0, 0, 0, 1);
    EXPECT_EQ(page_image_index(0), index);
    EXPECT_EQ(write_image_index, index);
    EXPECT_TRUE(image_at(index)->image_flags & DISPLAY_PAGE);
    set_screen_mode(12, 0, 0, 0, 0, 1);
    EXPECT_TRUE(image_at(index)->valid);
    EXPECT_FALSE(image_at(index)->image_flags & DISPLAY_PAGE);
    free_image_memory(index);
}

TEST_F(Images, ActivePageAloneMovesWriteReadAndDisplay) {
    write_image->foreground = 2;
    set_screen_mode(0, 0, 1, 0, 0, 5);
    EXPECT_EQ(write_image, page(1));
    EXPECT_EQ(read_image, page(1));
    EXPECT_EQ(display_image.load(), page(1));
    EXPECT_EQ(page(1)->foreground, 7u);
    EXPECT_EQ(page(1)->view_print_top, 1);
    EXPECT_EQ(page(1)->view_print_bottom, 24);
}

TEST_F(Images, GraphicsPagesShareThePaletteAndTheGraphicsState) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    page(0)->view_x1 = 10;
    set_screen_mode(12, 0, 2, 0, 0, 13);
    EXPECT_EQ(write_image, page(2));
    EXPECT_EQ(display_image.load(), page(0));
    EXPECT_EQ(page(2)->palette, page(0)->palette);
    EXPECT_FALSE(page(2)->image_flags & OWNS_PALETTE);
    EXPECT_EQ(page(2)->view_x1, 10);
    EXPECT_EQ(page_count(), 3);
    EXPECT_EQ(page_image_index(1), 0);
}

TEST_F(Images, PcopyMakesTheDestinationPageAndCopiesPixels) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    std::memset(page(0)->pixels, 9, 307200);
    copy_page(0, 1);
    ASSERT_NE(page_image_index(1), 0);
    EXPECT_EQ(page(1)->palette, page(0)->palette);
    EXPECT_EQ(page(1)->mode, 12);
    EXPECT_EQ(page(1)->pixels[307199], 9);
    std::memset(page(0)->pixels, 0, 307200);
    copy_page(1, 0);
    EXPECT_EQ(page(0)->pixels[0], 9);
    EXPECT_EQ(error(), 0);
}

TEST_F(Images, PcopyNeedsEqualSizesAndRoomForTheColours) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    int32_t wide = alloc_image(640, 480, 256);
    std::memset(image_at(wide)->pixels, 200, 307200);
    page(0)->pixels[0] = 15;
    copy_page(0, -wide);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(image_at(wide)->pixels[0], 15);
    copy_page(-wide, 0);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    int32_t small = alloc_image(10, 10, 12);
    copy_page(0, -small);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    copy_page(-1, 0);  // a bad handle is error 5 here, not 258
    EXPECT_EQ(error(), 5);
    free_image_memory(wide);
    free_image_memory(small);
}

TEST_F(Images, ReleasedIndicesComeBackLastFirst) {
    int32_t a = new_image_record(), b = new_image_record();
    EXPECT_EQ(release_image_record(a), 1);
    EXPECT_EQ(release_image_record(b), 1);
    EXPECT_EQ(release_image_record(b), 0);  // no longer valid
    EXPECT_EQ(release_image_record(1), 0);
    EXPECT_EQ(new_image_record(), b);
    EXPECT_EQ(new_image_record(), a);
    release_image_record(a);
    release_image_record(b);
}

TEST_F(Images, ResetImageDefaultsClearsAndKeepsTheViewport) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    ImageRecord* p = page(0);
    p->pixels[100] = 3;
    p->view_x1 = 5;
    p->background = 4;
    p->palette[3] = 0;
    reset_image_defaults(page_image_index(0));
    EXPECT_EQ(p->pixels[100], 0);
    EXPECT_EQ(p->view_x1, 5);
    EXPECT_EQ(p->background, 0u);
    EXPECT_EQ(p->palette[3], 0xFF00AAAAu);
}

TEST_F(Images, PendingErrorMakesScreenDoNothing) {
    pending_error = 5;
    ImageRecord* before = page(0);
    set_screen_mode(12, 0, 0, 0, 0, 1);
    EXPECT_EQ(page(0), before);
}

}  // namespace

namespace {

TEST_F(Images, VisualPageAloneChangesOnlyTheDisplay) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    set_screen_mode(0, 0, 0, 1, 0, 8);
    EXPECT_EQ(display_image.load(), image_at(page_image_index(1)));
    EXPECT_EQ(write_image, image_at(page_image_index(0)));
    EXPECT_EQ(display_cache_valid.load(), 0);
    set_screen_mode(0, 0, 0, -2, 0, 8);
    EXPECT_EQ(error(), 5);
}

}  // namespace
