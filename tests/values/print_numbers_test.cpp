// Numbers and PRINT USING lines reaching the text screen.
#include <gtest/gtest.h>

#include "runtime/values/basic_string.h"
#include "runtime/values/numbers.h"
#include "tests/screen/fixture.h"

namespace {

// A row's text without the blank or never-written cells after it.
std::string trimmed(std::string s) { return s.erase(s.find_last_not_of(std::string(" \0", 2)) + 1); }

class PrintNumbers : public Screen {
protected:
    void SetUp() override {
        Screen::SetUp();
        memory_startup();
        strings_startup();
    }
    std::string row(int32_t r) { return trimmed(row_text(write_image, r)); }
};

TEST_F(PrintNumbers, EachNumberIsFollowedByABlank) {
    print_number(int32_t{5});
    print_number(-2.5f);
    print_number(uint16_t{7});
    print_number(1e16);
    print_string(nullptr, 1);
    EXPECT_EQ(row(1), " 5 -2.5  7  1D+16");
    EXPECT_EQ(write_image->cursor_row, 2);
}

TEST_F(PrintNumbers, ANumberThatWouldNotFitStartsANewLine) {
    print(std::string(75, 'x'));
    print_number(1234567);  // " 1234567 " needs 9 columns
    EXPECT_EQ(row(2), " 1234567");
}

TEST_F(PrintNumbers, CountdownLineIsPrintedAndEnded) {
    BasicString* format = string_new(0, 0);
    string_assign(format, string_literal_z(" ###:##.###"));
    BasicString* output = string_new(0, 0);
    int32_t position = format_using_single(format, 1, 0, output);
    format_using_single(format, 5.25f, position, output);
    print_using_line(output);
    EXPECT_EQ(row(1), "   1: 5.250");
    EXPECT_EQ(write_image->cursor_row, 2);
    EXPECT_EQ(write_image->cursor_column, 1);
}

TEST_F(PrintNumbers, AfterAnErrorTheTextSoFarStaysOnTheLine) {
    BasicString* format = string_new(0, 0);
    string_assign(format, string_literal_z("N=## &"));
    BasicString* output = string_new(0, 0);
    int32_t position = format_using_integer(format, 4, 0, output);
    format_using_integer(format, 5, position, output);  // a number meets "&"
    ASSERT_EQ(error(), 13);
    print_using_line(output);
    EXPECT_EQ(row(1), "N= 4");
    EXPECT_EQ(write_image->cursor_row, 1);
    EXPECT_EQ(write_image->cursor_column, 6);
    EXPECT_EQ(error(), 13);
}

}  // namespace
