// The PRINT USING engine on plain buffers: fields, layout, rounding,
// restarts and errors.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <thread>
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

namespace {

// The engines keep no state of their own: threads placing different values
// at once each get their own text.
TEST(PrintUsing, ThreadsDoNotShareState) {
    auto work = [](int seed, bool* same) {
        for (int i = 0; i < 2000 && *same; ++i) {
            int minutes = (seed * 7 + i) % 10;
            Placed r = print_using(" ###:##.###", {num(minutes), sng(seed + 0.25)});
            std::string expected = "   " + std::to_string(minutes) + ":" + (seed < 10 ? " " : "") +
                                   std::to_string(seed) + ".250";
            *same = r.text == expected;
        }
    };
    bool same[4] = {true, true, true, true};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work, t * 13 + 1, &same[t]);
    for (auto& t : threads) t.join();
    for (bool s : same) EXPECT_TRUE(s);
}

}  // namespace

namespace {

// Digits and places before the point, trailing zeros dropped: two digit
// strings of the same value compare equal.
std::pair<std::string, int64_t> normalised(const DigitString& d) {
    std::string digits(d.digits + d.start, static_cast<size_t>(d.count));
    digits.erase(digits.find_last_not_of('0') + 1);
    return {digits, int64_t{d.exponent} + d.count};
}

// 256 significant digits straight from the conversion: the exact value for
// every number whose expansion is that short.
template <typename Float>
std::pair<std::string, int64_t> reference(Float value) {
    char text[300];
    auto r = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 255);
    std::string digits = std::string(1, text[0]) + std::string(text + 2, 255);
    digits.erase(digits.find_last_not_of('0') + 1);
    return {digits, std::atoll(std::string(text + 258, r.ptr).c_str()) + 1};
}

TEST(DigitStrings, ShortExpansionsMatchTheConversion) {
    std::mt19937_64 random(99);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = random();
        double scale = std::ldexp(1.0, static_cast<int>(random() % 140) - 70);
        const double values[] = {std::bit_cast<double>(bits), static_cast<double>(std::bit_cast<float>(uint32_t(bits))),
                                 static_cast<double>(bits % 100000) / 64 * scale, static_cast<double>(bits % 1000) / 1000};
        for (double v : values) {
            if (!std::isfinite(v) || v == 0) continue;
            DigitString d;
            ASSERT_TRUE(digits_of_double(v, d));
            auto expected = reference(v);
            if (expected.first.size() < 255) {
                ASSERT_EQ(normalised(d), expected) << v;
            }
            long double x = v * 1.5L;
            ASSERT_TRUE(digits_of_extended(x, d));
            expected = reference(x);
            if (expected.first.size() < 255) {
                ASSERT_EQ(normalised(d), expected) << v;
            }
        }
    }
    DigitString d;
    digits_of_double(0.0, d);
    EXPECT_EQ(normalised(d), (std::pair<std::string, int64_t>{"", 1}));
}

}  // namespace
