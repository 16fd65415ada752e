// The PRINT USING engine on plain buffers: fields, layout, rounding,
// restarts and errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/values/using_engine.h"

namespace {

enum class Kind { integer, single, dbl, text };

struct Value {
    Kind kind;
    double number = 0;
    const char* text = "";
};

Value sng(double v) { return {Kind::single, v}; }
Value dbl(double v) { return {Kind::dbl, v}; }
Value num(double v) { return {Kind::integer, v}; }
Value str(const char* s) { return {Kind::text, 0, s}; }

struct Placed {
    std::string text;
    int32_t error = 0;
    std::vector<int32_t> positions;
};

// Places the values in turn as a PRINT USING statement does, stopping at
// the first error.
Placed print_using(std::string_view format, std::vector<Value> values) {
    Placed result;
    int32_t position = 0;
    for (const Value& v : values) {
        DigitString digits;
        UsingValue value;
        switch (v.kind) {
        case Kind::integer: digits_of_integer(static_cast<int64_t>(v.number), digits); break;
        case Kind::single: digits_of_double(static_cast<float>(v.number), digits); break;
        case Kind::dbl:
            digits_of_double(v.number, digits);
            value.exponent_letter = 'D';
            break;
        case Kind::text:
            value.text = reinterpret_cast<const uint8_t*>(v.text);
            value.text_length = static_cast<int32_t>(std::char_traits<char>::length(v.text));
            break;
        }
        if (v.kind != Kind::text) value.number = &digits;
        position = place_using(reinterpret_cast<const uint8_t*>(format.data()),
                               static_cast<int32_t>(format.size()), position, value, result.text,
                               &result.error);
        result.positions.push_back(position);
        if (result.error) break;
    }
    return result;
}

struct Case {
    const char* format;
    Value value;
    const char* expected;
};

TEST(PrintUsing, NumericFields) {
    const Case cases[] = {
        {"###", num(5), "  5"}, {"###", num(-5), " -5"}, {"###", num(-123), "%-123"},
        {"###", sng(2.5), "  3"}, {"###", num(1234), "%1234"}, {"###", num(0), "  0"},
        {"#.##", sng(0.125), "0.13"}, {"#.##", sng(1.995), "2.00"}, {"#.##", sng(9.996), "%10.00"},
        {".##", sng(0), ".00"}, {"#.##", sng(0.5), "0.50"}, {".##", sng(0.006), ".01"},
        {".##", sng(0.0006), ".00"}, {"#.##", sng(-0.004), "-.00"}, {"##.##", sng(-0.004), "-0.00"},
        {"+##", num(5), "+ 5"}, {"+##", num(-5), "- 5"}, {"##-", num(-5), " 5-"}, {"##-", num(5), " 5 "},
        {"##+", num(5), " 5+"}, {"##.#+", sng(-1.25), " 1.3-"},
        {"**##", num(12), "**12"}, {"$$##", num(12), " $12"}, {"**$##", num(12), "**$12"},
        {"**##", num(-12), "*-12"}, {"$$##", num(-12), "-$12"},
        {"#,###", num(1234), "1,234"}, {"#,###,###", num(1234567), "1,234,567"},
        {"##,###", num(1234), " 1,234"}, {"#,###", num(12345), "%12,345"}, {"#,###.##", dbl(1234.5), "1,234.50"},
        {".###", sng(0.9996), "%1.000"}, {"##.##", sng(-0.3), "-0.30"},
        {"###", sng(999.5), "%1000"}, {"####", dbl(-0.0), "   0"},
        {"#########", num(static_cast<double>(INT64_MIN)), "%-9223372036854775808"},
    };
    for (const auto& c : cases) {
        Placed r = print_using(c.format, {c.value});
        EXPECT_EQ(r.text, c.expected) << '"' << c.format << "\" with " << c.value.number;
        EXPECT_EQ(r.error, 0) << c.format;
    }
}

TEST(PrintUsing, ExponentFields) {
    const Case cases[] = {
        {"##.##^^^^", sng(1234.5), " 1.23E+03"}, {"#.##^^^^", sng(1234.5), "0.12E+04"},
        {"##.##^^^^^", sng(0.000123), " 1.23E-004"}, {"##.##^^^^", sng(-1234.5), "-1.23E+03"},
        {"#.##^^^^", sng(-1234.5), "-.12E+04"}, {"##.##^^^^", dbl(1234.5), " 1.23D+03"},
        {"##.##^^^^", sng(0), " 0.00E+00"}, {"+#.##^^^^", sng(-5), "-5.00E+00"},
        {"#.##^^^^-", sng(5), "5.00E+00 "}, {"##.##^^^^", dbl(1e150), "% 1.00D+150"},
        {"##.##^^^^", sng(9.996), " 1.00E+01"}, {"#^^^^", sng(5), " 5E+00"}, {"#^^^^", sng(-5), "%-5E+00"},
        {".#^^^^", sng(5), " 5E+00"}, {"$$#.#^^^^", sng(25), "$ 2.5E+01"},
    };
    for (const auto& c : cases) {
        Placed r = print_using(c.format, {c.value});
        EXPECT_EQ(r.text, c.expected) << '"' << c.format << "\" with " << c.value.number;
    }
}

TEST(PrintUsing, StringFieldsAndLiterals) {
    const Case cases[] = {
        {"!", str("ABC"), "A"}, {"\\  \\", str("AB"), "AB  "}, {"\\\\", str("ABC"), "AB"},
        {"&", str("ABC"), "ABC"}, {"!", str(""), " "}, {"[&]", str("xy"), "[xy]"},
        {"_###", num(5), "# 5"}, {"_&!", str("Q"), "&Q"}, {"##_", num(7), " 7_"},
        {"\\ x!", str("Q"), "\\ xQ"}, {"-##", num(5), "- 5"}, {"Total: ###.", num(42), "Total:  42."},
    };
    for (const auto& c : cases) {
        Placed r = print_using(c.format, {c.value});
        EXPECT_EQ(r.text, c.expected) << '"' << c.format << '"';
        EXPECT_EQ(r.error, 0) << c.format;
    }
}

TEST(PrintUsing, GameCountdownFormat) {
    struct Countdown { double minutes, seconds; const char* expected; };
    const Countdown cases[] = {
        {9, 59.5, "   9:59.500"}, {1, 5.25, "   1: 5.250"}, {2, 5.25, "   2: 5.250"},
        {10, 0, "  10: 0.000"}, {0, 59.9996, "   0:60.000"}, {1000, 1, " %1000: 1.000"},
        {0, -0.3, "   0:-0.300"},
    };
    for (const auto& c : cases) {
        Placed r = print_using(" ###:##.###", {sng(c.minutes), sng(c.seconds)});
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.positions, (std::vector<int32_t>{5, 0}));
    }
}

TEST(PrintUsing, FormatRestartsForFurtherValues) {
    EXPECT_EQ(print_using("##", {num(1), num(2), num(3)}).text, " 1 2 3");
    EXPECT_EQ(print_using("<##>", {num(1), num(2)}).text, "< 1>< 2>");
    Placed r = print_using("& is ##", {str("A"), num(1), str("B"), num(2)});
    EXPECT_EQ(r.text, "A is  1B is  2");
    EXPECT_EQ(r.positions, (std::vector<int32_t>{5, 0, 5, 0}));
}

TEST(PrintUsing, Errors) {
    Placed r = print_using("no field", {num(1)});
    EXPECT_EQ(r.error, 5);
    EXPECT_EQ(r.text, "no field");
    EXPECT_EQ(print_using("", {num(1)}).error, 5);
    EXPECT_EQ(print_using("&", {num(1)}).error, 13);
    EXPECT_EQ(print_using("##", {str("x")}).error, 13);
    // The second value meets the string field left waiting by the first.
    r = print_using("## &", {num(1), num(2)});
    EXPECT_EQ(r.error, 13);
    EXPECT_EQ(r.text, " 1 ");
}

TEST(PrintUsing, StartPositionOutsideTheFormatBeginsAgain) {
    DigitString d;
    digits_of_integer(5, d);
    UsingValue v;
    v.number = &d;
    const std::string format = "ab";
    for (int32_t start : {-7, 1, 2, 99}) {
        std::string out;
        int32_t error = 0;
        place_using(reinterpret_cast<const uint8_t*>(format.data()), 2, start, v, out, &error);
        EXPECT_EQ(error, 5) << start;  // no field, and no endless search
    }
}

TEST(PrintUsing, NonFiniteValuesHaveNoDigits) {
    DigitString d;
    EXPECT_FALSE(digits_of_double(1.0 / 0.0, d));
    EXPECT_FALSE(digits_of_extended(__builtin_nanl(""), d));
    EXPECT_TRUE(digits_of_extended(1e4000L, d));
}

}  // namespace
