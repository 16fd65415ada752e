#include <cstring>
#include <string>

#include "fixture.h"

namespace {

using Text = Screen;

class Screen12 : public Screen {
protected:
    void SetUp() override {
        fresh_screen(12);
        set_colour(7, 0, 0, 3);
    }
    ImageRecord* w() { return write_image; }
};

TEST_F(Screen12, FullLineWithNewlineAdvancesOneRow) {
    print(std::string(80, 'x'), 1);
    EXPECT_EQ(w()->cursor_row, 2);
    EXPECT_EQ(w()->cursor_column, 1);
    EXPECT_EQ(w()->pending_newline, 0);
}

TEST_F(Screen12, FullLineWithoutNewlineOwesIt) {
    write_image->cursor_row = 3;
    print_item(std::string(80, 'x'));
    EXPECT_EQ(w()->cursor_row, 3);
    EXPECT_EQ(w()->cursor_column, 80);
    EXPECT_EQ(w()->pending_newline, 1);
    EXPECT_EQ(current_column(0), 1);
    EXPECT_EQ(current_row(), 4);
    EXPECT_FALSE(cell_has_ink(w(), 4, 1));
    print_item("y");
    EXPECT_TRUE(cell_has_ink(w(), 4, 1));
    EXPECT_EQ(w()->cursor_column, 2);
}

TEST_F(Screen12, EmptyItemWithNewlineWhileOwedFeedsOneLine) {
    print(std::string(80, 'x'), 0);
    print("", 1);
    EXPECT_EQ(w()->cursor_row, 2);
    EXPECT_EQ(w()->cursor_column, 1);
}

TEST_F(Screen12, EightyFirstCharacterWraps) {
    print(std::string(80, 'x') + "y", 0);
    EXPECT_EQ(w()->cursor_row, 2);
    EXPECT_EQ(w()->cursor_column, 2);
    EXPECT_TRUE(cell_has_ink(w(), 2, 1));
}

TEST_F(Screen12, ScrollingLeavesTheLastRowAlone) {
    print("top", 0);
    write_image->cursor_row = 30;
    write_image->cursor_column = 1;
    print("z", 1);  // lands on row 30, then scrolls rows 1 to 29
    EXPECT_EQ(w()->cursor_row, 29);
    EXPECT_TRUE(cell_has_ink(w(), 30, 1));
    EXPECT_FALSE(cell_has_ink(w(), 1, 1));  // "top" scrolled away
    set_cursor(29, 1, 0, 0, 0, 3);
    print("b", 1);
    EXPECT_EQ(w()->cursor_row, 29);
    EXPECT_TRUE(cell_has_ink(w(), 28, 1));
    EXPECT_FALSE(cell_has_ink(w(), 29, 1));
    EXPECT_TRUE(cell_has_ink(w(), 30, 1));
}

TEST_F(Screen12, ScrollFillsWithTheBackground) {
    set_colour(7, 2, 0, 3);
    write_image->cursor_row = 29;
    print("", 1);
    EXPECT_EQ(w()->pixels[464 * 640 - 1], 2);
    EXPECT_EQ(w()->pixels[464 * 640], 0);
}

TEST_F(Screen12, LocateReachesTheLastRowOnly) {
    set_cursor(30, 1, 0, 0, 0, 3);
    EXPECT_EQ(error(), 0);
    set_cursor(31, 1, 0, 0, 0, 3);
    EXPECT_EQ(error(), 5);
    EXPECT_EQ(w()->cursor_row, 30);
}

struct LocateCase {
    int32_t row, column, shown, start, stop;
    uint32_t flags;
    int32_t error;
};

class LocateArguments : public Screen12, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(LocateArguments, RangeChecks) {
    const LocateCase& c = GetParam();
    set_cursor(c.row, c.column, c.shown, c.start, c.stop, c.flags);
    EXPECT_EQ(error(), c.error);
    if (c.error) {
        EXPECT_EQ(w()->cursor_row, 1);
        EXPECT_EQ(w()->cursor_column, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Screen, LocateArguments,
                         ::testing::Values(LocateCase{0, 1, 0, 0, 0, 3, 5}, LocateCase{5, 81, 0, 0, 0, 3, 5},
                                           LocateCase{5, 0, 0, 0, 0, 3, 5}, LocateCase{5, 80, 0, 0, 0, 3, 0},
                                           LocateCase{5, 5, 2, 0, 0, 7, 5}, LocateCase{5, 5, 1, 32, 0, 15, 5},
                                           LocateCase{5, 5, 1, 0, -1, 31, 5},
                                           LocateCase{5, 5, 1, 31, 0, 31, 0}));

TEST_F(Screen12, PrintZones) {
    next_print_zone();
    EXPECT_EQ(w()->cursor_column, 15);
    write_image->cursor_column = 58;
    next_print_zone();
    EXPECT_EQ(w()->cursor_column, 80);
    EXPECT_EQ(w()->pending_newline, 0);
    print_item("ab");
    EXPECT_EQ(w()->cursor_row, 2);
    EXPECT_EQ(w()->cursor_column, 3);
}

TEST_F(Screen12, ClsFillsWithTheBackground) {
    set_colour(7, 1, 0, 3);
    print("abc", 0);
    clear_screen(0, 0, 0);
    EXPECT_EQ(w()->pixels[0], 1);
    EXPECT_EQ(w()->pixels[307199], 1);
    EXPECT_EQ(w()->cursor_row, 1);
    EXPECT_EQ(w()->cursor_column, 1);
    clear_screen(0, 3, 2);
    EXPECT_EQ(w()->pixels[1000], 3);
    clear_screen(0, 16, 2);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    clear_screen(3, 0, 1);
    EXPECT_EQ(error(), 5);
}

TEST_F(Screen12, ClsTwoClearsOnlyTheWindow) {
    set_view_print(5, 10, 1);
    clear_screen(0, 4, 1 | 2);
    clear_screen(2, 9, 1 | 2);
    EXPECT_EQ(w()->pixels[4 * 16 * 640], 9);
    EXPECT_EQ(w()->pixels[10 * 16 * 640 - 1], 9);
    EXPECT_EQ(w()->pixels[10 * 16 * 640], 4);
    EXPECT_EQ(w()->pixels[4 * 16 * 640 - 1], 4);
}

TEST_F(Text, ScrollInsideViewPrintLeavesOtherRows) {
    for (int32_t r = 1; r <= 25; ++r) {
        set_cursor(r, 1, 0, 0, 0, 3);
        print(std::string(1, char('A' + r - 1)), 0);
    }
    set_view_print(5, 10, 1);
    EXPECT_EQ(write_image->cursor_row, 5);
    set_cursor(10, 1, 0, 0, 0, 3);
    print("", 1);
    for (int32_t r = 1; r <= 25; ++r) {
        char want = r < 5 || r > 10 ? char('A' + r - 1) : r == 10 ? ' ' : char('A' + r);
        EXPECT_EQ(row_text(write_image, r)[0], want) << r;
    }
}

TEST_F(Text, ClsKindsOnTheTextScreen) {
    struct Case { int32_t kind; uint32_t flags; const char* cleared; };
    // Rows 1..25 as cleared (c) or kept (k), with the window on rows 5 to 10.
    for (Case c : {Case{0, 0, "kkkkcccccckkkkkkkkkkkkkkc"}, Case{2, 1, "kkkkcccccckkkkkkkkkkkkkkk"},
                   Case{0, 1, "ccccccccccccccccccccccccc"}, Case{1, 1, "kkkkkkkkkkkkkkkkkkkkkkkkk"}}) {
        fresh_screen(0);
        for (int32_t r = 1; r <= 25; ++r) {
            set_cursor(r, 1, 0, 0, 0, 3);
            print("X", 0);
        }
        set_view_print(5, 10, 1);
        clear_screen(c.kind, 0, c.flags);
        for (int32_t r = 1; r <= 25; ++r)
            EXPECT_EQ(row_text(write_image, r)[0], c.cleared[r - 1] == 'c' ? ' ' : 'X')
                << "kind " << c.kind << " row " << r;
        EXPECT_EQ(write_image->cursor_row, 5);
    }
}

TEST_F(Text, ClsGivesClearedCellsTheFillColour) {
    set_colour(20, 1, 0, 3);
    clear_screen(0, 3, 2);
    EXPECT_EQ(attribute_at(write_image, 1, 1), 0xB4);
}

TEST_F(Text, ScrolledRowTakesTheCurrentAttribute) {
    set_colour(20, 3, 0, 3);
    set_cursor(24, 1, 0, 0, 0, 3);
    print("", 1);
    EXPECT_EQ(attribute_at(write_image, 24, 1), 0xB4);
    EXPECT_EQ(attribute_at(write_image, 25, 1), 0x07);
}

TEST_F(Text, TabsStopEveryEightColumns) {
    print("a\tb", 0);
    EXPECT_EQ(row_text(write_image, 1).substr(0, 9), "a       b");
    set_cursor(2, 8, 0, 0, 0, 3);
    print("\t", 0);
    EXPECT_EQ(write_image->cursor_column, 9);
    set_cursor(3, 9, 0, 0, 0, 3);
    print("\t", 0);
    EXPECT_EQ(write_image->cursor_column, 17);
}

TEST_F(Text, ControlCodes) {
    print("ab\rc\b", 0);
    EXPECT_EQ(row_text(write_image, 1).substr(0, 2), "ab");
    EXPECT_EQ(row_text(write_image, 2).substr(0, 2), std::string("c\b"));
    set_cursor(5, 5, 0, 0, 0, 3);
    print("\x1c\x1c\x1d\x1e\x1f\x1f", 0);
    EXPECT_EQ(write_image->cursor_column, 6);
    EXPECT_EQ(write_image->cursor_row, 6);
    print("\x0b", 0);
    EXPECT_EQ(write_image->cursor_row, 1);
    EXPECT_EQ(write_image->cursor_column, 1);
    set_control_codes(2);
    print("\r", 0);
    EXPECT_EQ(write_image->pixels[0], 13);
    set_control_codes(0);
}

TEST_F(Text, LocateEnlargesTheStartUpScreenOnce) {
    print("keep me", 0);
    initial_screen = 1;
    set_cursor(26, 1, 0, 0, 0, 3);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(write_image->height, 50);
    EXPECT_EQ(write_image->font, 8);
    EXPECT_EQ(write_image->cursor_row, 26);
    EXPECT_EQ(row_text(write_image, 1).substr(0, 7), "keep me");
    EXPECT_EQ(initial_screen, 0);
    fresh_screen(0);
    set_cursor(26, 1, 0, 0, 0, 3);
    EXPECT_EQ(error(), 5);
}

TEST_F(Text, LocateShowsTheCursorOnEveryPage) {
    set_cursor(0, 0, 1, 0, 0, 4);
    for (int32_t p = 0; p < 8; ++p) EXPECT_EQ(image_at(page_image_index(p))->cursor_visible, 1);
    set_cursor(0, 0, 0, 2, 7, 8 | 16);
    EXPECT_EQ(image_at(page_image_index(7))->cursor_stop, 7);
    set_cursor(0, 0, 0, 0, 0, 4);
}

TEST_F(Text, LocateWithoutPositionShowsTheOwedNewline) {
    print(std::string(80, 'x'), 0);
    set_cursor(0, 0, 1, 0, 0, 4);
    EXPECT_EQ(write_image->pending_newline, 2);
    set_cursor(0, 0, 0, 0, 0, 4);
}

TEST_F(Text, ViewPrintBounds) {
    set_view_print(0, 5, 1);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_view_print(6, 5, 1);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_view_print(1, 26, 1);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_view_print(0, 0, 0);
    EXPECT_EQ(write_image->view_print_bottom, 25);
}

TEST_F(Text, SoftKeyLine) {
    const char f1[] = "LIST\r";
    set_soft_key_text(1, reinterpret_cast<const uint8_t*>(f1), 5);
    set_soft_keys_on(1);
    EXPECT_EQ(row_text(write_image, 25).substr(0, 17), std::string("1LIST\x1b  2       3"));
    EXPECT_EQ(attribute_at(write_image, 25, 1), 0x07);
    EXPECT_EQ(attribute_at(write_image, 25, 2), 0x70);
    EXPECT_EQ(row_text(write_image, 25).substr(72, 2), "10");
    EXPECT_EQ(write_image->cursor_row, 1);
    set_soft_keys_on(0);
    EXPECT_EQ(row_text(write_image, 25), std::string(80, ' '));
    set_soft_key_text(2, reinterpret_cast<const uint8_t*>("0123456789abcdef"), 16);
    EXPECT_EQ(error(), 5);
    pending_error = 0;
    set_soft_key_text(1, nullptr, 0);
}

TEST_F(Text, EndPromptOnTheLastRow) {
    print("hello", 0);
    end_show_prompt();
    EXPECT_EQ(row_text(write_image, 25).substr(0, 25), "Press any key to continue");
    EXPECT_EQ(row_text(write_image, 1).substr(0, 5), "hello");
}

TEST_F(Text, ConsoleImageWritesStandardOutput) {
    int32_t index = alloc_image(80, 25, 0);
    image_at(index)->is_console = 1;
    ImageRecord* saved = write_image;
    write_image = image_at(index);
    testing::internal::CaptureStdout();
    print(std::string("abc\0def", 7), 1);
    print("x", 0);
    std::string out = testing::internal::GetCapturedStdout();
    write_image = saved;
    free_image_memory(index);
    EXPECT_EQ(out, "abc\nx");
}

TEST_F(Text, PendingErrorStopsPrinting) {
    pending_error = 5;
    print("abc", 1);
    EXPECT_EQ(write_image->cursor_column, 1);
    EXPECT_EQ(write_image->pixels[0], 32);
}

}  // namespace
