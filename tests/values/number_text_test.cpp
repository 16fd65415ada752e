// STR$ texts of every numeric type and VAL of texts, on plain buffers.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/values/number_text.h"

namespace {

template <typename Value>
std::string text_by(int32_t (*format)(Value, char*), Value v) {
    char out[NUMBER_TEXT_MAX];
    return {out, static_cast<size_t>(format(v, out))};
}
std::string single_str(float v) { return text_by(single_text, v); }
std::string double_str(double v) { return text_by(double_text, v); }
std::string integer_str(int64_t v) { return text_by(integer_text, v); }
std::string unsigned_str(uint64_t v) { return text_by(unsigned_text, v); }
long double val(std::string_view text, bool* overflow = nullptr) {
    bool ignored;
    return scan_number_text(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                            overflow ? overflow : &ignored);
}

struct SingleCase { float value; const char* text; };
struct DoubleCase { double value; const char* text; };

TEST(SingleText, PlainAndExponentForms) {
    const SingleCase cases[] = {
        {5, " 5"}, {-5, "-5"}, {0, " 0"}, {-0.0f, " 0"},
        {0.1f, " .1"}, {-0.5f, "-.5"}, {100, " 100"}, {0.25f, " .25"},
        {1234567, " 1234567"}, {12345678, " 1.234568E+07"}, {9999999, " 9999999"},
        {1e8f, " 1E+08"}, {1000000, " 1000000"}, {10000000, " 1E+07"},
        {1e-7f, " .0000001"}, {1e-8f, " 1E-08"}, {1.5e-7f, " 1.5E-07"}, {1.25e-5f, " .0000125"}, {1.25e-6f, " 1.25E-06"},
        {1.23456e-2f, " .0123456"}, {1.234567e-2f, " 1.234567E-02"},
        {-3.5e20f, "-3.5E+20"}, {FLT_MAX, " 3.402823E+38"},
        {std::numeric_limits<float>::denorm_min(), " 1.401298E-45"},
        {2.5f, " 2.5"}, {-123.456f, "-123.456"},
    };
    for (const auto& c : cases) EXPECT_EQ(single_str(c.value), c.text) << c.value;
}

TEST(DoubleText, PlainAndExponentForms) {
    const DoubleCase cases[] = {
        {5, " 5"}, {-5, "-5"}, {0, " 0"}, {-0.0, " 0"},
        {1e15, " 1000000000000000"}, {1e16, " 1D+16"}, {-1e16, "-1D+16"},
        {1.0 / 3, " .3333333333333333"}, {0.1 + 0.2, " .3"}, {0.7 + 0.1, " .8"},
        {99.99999999999999, " 100"}, {0.1, " .1"}, {1e-16, " .0000000000000001"}, {1e-17, " 1D-17"},
        {1e-18, " 1D-18"}, {1.5e-17, " 1.5D-17"}, {1e100, " 1D+100"}, {-2.5e-300, "-2.5D-300"},
        {1.7976931348623157e308, " 1.797693134862316D+308"},
        {std::numeric_limits<double>::denorm_min(), " 4.940656458412465D-324"},
        {1234567890123456.0, " 1234567890123456"}, {12345678901234567.0, " 1.234567890123457D+16"},
        {2.0 / 3, " .6666666666666666"}, {123.456, " 123.456"},
    };
    for (const auto& c : cases) EXPECT_EQ(double_str(c.value), c.text) << c.value;
}

TEST(FloatText, InfinityAndNanAreNamed) {
    EXPECT_EQ(double_str(INFINITY), " INF");
    EXPECT_EQ(double_str(-INFINITY), "-INF");
    EXPECT_EQ(single_str(NAN), " NAN");
}

TEST(IntegerText, SignedTakeABlankUnsignedAlways) {
    EXPECT_EQ(integer_str(5), " 5");
    EXPECT_EQ(integer_str(-5), "-5");
    EXPECT_EQ(integer_str(0), " 0");
    EXPECT_EQ(integer_str(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(integer_str(INT64_MAX), " 9223372036854775807");
    EXPECT_EQ(unsigned_str(0), " 0");
    EXPECT_EQ(unsigned_str(UINT64_MAX), " 18446744073709551615");
}

struct ValCase { const char* text; long double value; };

TEST(Val, ReadsTheLongestNumberPrefix) {
    const ValCase cases[] = {
        {"  12 34", 1234}, {"1.5E3", 1500}, {"&HFF", 255}, {"&hff", 255}, {"&O17", 15},
        {"1-2", 1}, {"", 0}, {"-.5", -0.5}, {"&H", 0}, {"&", 0}, {"&X12", 0}, {"&H1G", 1},
        {"&H 1", 0}, {"  &H10", 16}, {"12&H5", 12}, {"- 5", -5}, {"+7", 7}, {"1E 2", 100},
        {"1.5.5", 1.5}, {"1E2E3", 100}, {"1E2.5", 100}, {"2D-2", 0.02L}, {"1e+1", 10},
        {"abc", 0}, {"--5", 0}, {".", 0}, {"0.05", 0.05L}, {"\t3\t", 3}, {"000120", 120},
        {"1E", 1}, {"1E-", 1}, {"E5", 0}, {"&HFFFFFFFFFFFFFFFF", -1},
        {"&O1777777777777777777777", -1}, {"&H0000000000000000001", 1},
        {"123456789012345678", 123456789012345678.0L},
        {"1234567890123456789012", 1234567890123456789012.0L},
        {"1E0000000000000000000005", 1e5L}, {"1.", 1}, {"-0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(val(c.text), c.value) << c.text;
}

TEST(Val, LongRadixConstantsOverflow) {
    const char* too_long[] = {"&H10000000000000000", "&O2000000000000000000000",
                              "&O17777777777777777777777"};
    for (const char* text : too_long) {
        bool overflow = false;
        EXPECT_EQ(val(text, &overflow), 0) << text;
        EXPECT_TRUE(overflow) << text;
    }
    bool overflow = true;
    val("&H7FFFFFFFFFFFFFFF", &overflow);
    EXPECT_FALSE(overflow);
}

TEST(Val, GeneralPathRoundsCorrectlyAndSaturates) {
    EXPECT_EQ(val("0.1"), 0.1L);
    EXPECT_EQ(val("-123.456e-2"), -1.23456L);
    // Digits far beyond what a long double holds still round correctly.
    std::string many = "1." + std::string(2000, '0') + "1";
    EXPECT_EQ(val(many), 1.0L);
    EXPECT_TRUE(std::isinf(val("1E999999999999999999")));
    EXPECT_EQ(val("1E-999999999999999999"), 0);
    EXPECT_EQ(val("1E-0000000000000000003"), 1e-3L);
}

}  // namespace
