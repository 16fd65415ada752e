// STR$, VAL and PRINT USING as the translated program calls them.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/values/numbers.h"
#include "tests/values/fixture.h"

namespace {

using Numbers = Store;

TEST_F(Numbers, StrOfEveryTypeIsATemporary) {
    EXPECT_EQ(text_of(number_to_text(int8_t{-128})), "-128");
    EXPECT_EQ(text_of(number_to_text(int16_t{5})), " 5");
    EXPECT_EQ(text_of(number_to_text(int32_t{-5})), "-5");
    EXPECT_EQ(text_of(number_to_text(int64_t{1} << 40)), " 1099511627776");
    EXPECT_EQ(text_of(number_to_text(uint8_t{255})), " 255");
    EXPECT_EQ(text_of(number_to_text(uint16_t{5})), " 5");
    EXPECT_EQ(text_of(number_to_text(uint32_t{4000000000u})), " 4000000000");
    EXPECT_EQ(text_of(number_to_text(uint64_t{5})), " 5");
    EXPECT_EQ(text_of(number_to_text(0.1f)), " .1");
    EXPECT_EQ(text_of(number_to_text(1e16)), " 1D+16");
    EXPECT_EQ(text_of(number_to_text(0.1L + 0.2L)), " .3");
    BasicString* s = number_to_text(12345678.0f);
    EXPECT_TRUE(s->is_temporary);
    EXPECT_EQ(text_of(s), " 1.234568E+07");
    string_cleanup(mark, 0);
    EXPECT_EQ(string_mark(), mark);
}

TEST_F(Numbers, ValReadsAndRaisesOverflowForLongRadixConstants) {
    EXPECT_EQ(text_to_number(variable("  12 34")), 1234);
    EXPECT_EQ(text_to_number(temporary("&HFF")), 255);
    EXPECT_EQ(text_to_number(nullptr), 0);
    EXPECT_EQ(pending_error, 0);
    EXPECT_EQ(text_to_number(literal("&H10000000000000000")), 0);
    EXPECT_EQ(pending_error, 6);
}

// The game's countdown statement: two singles, then the accumulated line.
TEST_F(Numbers, CountdownStatementAccumulatesOneLine) {
    BasicString* output = string_new(0, 0);
    BasicString* format = variable(" ###:##.###");
    int32_t position = format_using_single(format, 9, 0, output);
    EXPECT_EQ(position, 5);
    position = format_using_single(format, 59.5f, position, output);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(text_of(output), "   9:59.500");
    EXPECT_FALSE(output->is_temporary);
    string_cleanup(mark, 0);
    EXPECT_EQ(text_of(output), "   9:59.500");
}

TEST_F(Numbers, WrappersChooseTheirExponentLetter) {
    BasicString* format = variable("##.##^^^^ ");
    BasicString* output = string_new(0, 0);
    format_using_single(format, 1234.5f, 0, output);
    format_using_double(format, 1234.5, 0, output);
    format_using_extended(format, 1234.5L, 0, output);
    format_using_integer(format, -1234, 0, output);
    format_using_unsigned(format, 1234, 0, output);
    EXPECT_EQ(text_of(output), " 1.23E+03  1.23D+03  1.23F+03 -1.23E+03  1.23E+03 ");
}

TEST_F(Numbers, StringValuesAndTypeMismatch) {
    BasicString* format = variable("[\\  \\]");
    BasicString* output = string_new(0, 0);
    EXPECT_EQ(format_using(format, 0, output, temporary("ABCDEF")), 0);
    EXPECT_EQ(text_of(output), "[ABCD]");
    EXPECT_EQ(format_using_integer(format, 1, 0, output), 0);
    EXPECT_EQ(pending_error, 13);
    EXPECT_EQ(text_of(output), "[ABCD][");
}

TEST_F(Numbers, PendingErrorMakesEveryOperationANoOp) {
    BasicString* format = variable("##");
    BasicString* output = string_new(0, 0);
    pending_error = 7;
    EXPECT_EQ(format_using_single(format, 1, 0, output), 0);
    EXPECT_EQ(format_using(format, 0, output, literal("x")), 0);
    EXPECT_EQ(output->length, 0);
    EXPECT_EQ(pending_error, 7);
}

TEST_F(Numbers, FormatWithoutFieldAndUnshowableValuesRaiseError5) {
    BasicString* output = string_new(0, 0);
    EXPECT_EQ(format_using_integer(variable("abc"), 1, 0, output), 0);
    EXPECT_EQ(pending_error, 5);
    EXPECT_EQ(text_of(output), "abc");
    pending_error = 0;
    EXPECT_EQ(format_using_double(variable("##"), INFINITY, 0, output), 0);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;
    EXPECT_EQ(format_using_single(variable("##"), NAN, 0, output), 0);
    EXPECT_EQ(pending_error, 5);
}

}  // namespace
