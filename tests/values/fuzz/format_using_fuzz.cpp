// Fuzz target: random formats, values and start positions through the
// PRINT USING engine. Aborts when a call writes more than its format and
// value can account for or returns a position outside the format.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/values/using_engine.h"

namespace {

[[noreturn]] void fail(const char* what, size_t produced, size_t allowed) {
    std::fprintf(stderr, "format_using fuzz: %s (%zu bytes, at most %zu)\n", what, produced, allowed);
    std::abort();
}

// A digit string must hold the value's exact digits (trailing zeros aside)
// whenever its 256-digit conversion is exact.
template <typename Float>
void check_digits(Float value, const DigitString& d) {
    char text[300];
    auto r = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 255);
    std::string expected = std::string(1, text[0]) + std::string(text + 2, 255);
    expected.erase(expected.find_last_not_of('0') + 1);
    if (expected.size() >= 255) return;
    std::string digits(d.digits + d.start, static_cast<size_t>(d.count));
    digits.erase(digits.find_last_not_of('0') + 1);
    long long places = std::atoll(std::string(text + 258, r.ptr).c_str()) + 1;
    if (digits != expected || (!expected.empty() && int64_t{d.exponent} + d.count != places))
        fail("digit string differs from the conversion", digits.size(), expected.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 13) return 0;
    const int kind = data[0] % 6;  // integer, unsigned, single, double, extended, string
    uint8_t value_bytes[16] = {};
    std::memcpy(value_bytes, data + 1, 10);
    const int rounds = 1 + data[11] % 4;
    int32_t position = static_cast<int8_t>(data[12]);
    data += 13;
    size -= 13;
    size_t format_length = size ? size * data[0] / 255 : 0;
    const uint8_t* format = data + (size ? 1 : 0);
    if (size) --size;
    if (format_length > size) format_length = size;
    const uint8_t* text = format + format_length;
    const size_t text_length = size - format_length;

    DigitString digits;
    UsingValue value;
    bool finite = true;
    int64_t i64;
    uint64_t u64;
    float f32;
    double f64;
    long double f80 = 0;
    std::memcpy(&i64, value_bytes, 8);
    std::memcpy(&u64, value_bytes, 8);
    std::memcpy(&f32, value_bytes, 4);
    std::memcpy(&f64, value_bytes, 8);
    std::memcpy(&f80, value_bytes, 10);
    switch (kind) {
    case 0: digits_of_integer(i64, digits); break;
    case 1: digits_of_unsigned(u64, digits); break;
    case 2:
        if ((finite = digits_of_double(f32, digits))) check_digits(static_cast<double>(f32), digits);
        break;
    case 3:
        if ((finite = digits_of_double(f64, digits))) check_digits(f64, digits);
        value.exponent_letter = 'D';
        break;
    case 4:
        if ((finite = digits_of_extended(f80, digits))) check_digits(f80, digits);
        value.exponent_letter = 'F';
        break;
    default:
        value.text = text;
        value.text_length = static_cast<int32_t>(text_length);
    }
    if (!finite) return 0;
    if (kind < 5) value.number = &digits;

    // A call reads the format at most twice (it may start again from the
    // beginning once), writes a string field's value or a number whose
    // integer digits may overflow its field, with separators and a "%".
    int64_t integer_digits = kind < 5 ? std::max<int64_t>(int64_t{digits.exponent} + digits.count, 0) + 1 : 0;
    size_t allowed = 2 * format_length + text_length + static_cast<size_t>(integer_digits * 4 / 3) + 32;

    std::string out;
    for (int r = 0; r < rounds; ++r) {
        size_t before = out.size();
        int32_t error = 0;
        position = place_using(format, static_cast<int32_t>(format_length), position, value, out, &error);
        if (out.size() - before > allowed) fail("output too long", out.size() - before, allowed);
        if (position < 0 || (position > 0 && static_cast<size_t>(position) >= format_length))
            fail("position outside the format", static_cast<size_t>(position), format_length);
        if (error != 0 && error != 5 && error != 13) fail("unknown error code", static_cast<size_t>(error), 0);
        if (error) break;
    }
    return 0;
}
