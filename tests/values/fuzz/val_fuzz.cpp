// Fuzz target: random texts through VAL, and STR$ texts of random values
// read back by VAL, which must give the value to the digits shown.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/values/number_text.h"

namespace {

[[noreturn]] void fail(const char* what, const char* text, int32_t length) {
    std::fprintf(stderr, "VAL fuzz: %s: \"%.*s\"\n", what, length, text);
    std::abort();
}

void check_round_trip(const char* text, int32_t length, double value, double tolerance) {
    if (length < 2 || length > NUMBER_TEXT_MAX) fail("STR$ length", text, length);
    if (!std::isfinite(value)) return;
    bool overflow = false;
    long double back = scan_number_text(reinterpret_cast<const uint8_t*>(text), static_cast<size_t>(length), &overflow);
    if (overflow) fail("overflow reading STR$", text, length);
    if (std::fabs(back - value) > tolerance * std::fabs(static_cast<long double>(value)))
        fail("STR$ does not read back", text, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool overflow = false;
    long double value = scan_number_text(data, size, &overflow);
    if (overflow && value != 0) fail("overflow with a value", reinterpret_cast<const char*>(data), 0);

    if (size >= 8) {
        double d;
        float f;
        std::memcpy(&d, data, 8);
        std::memcpy(&f, data, 4);
        char text[NUMBER_TEXT_MAX + 8];
        check_round_trip(text, double_text(d, text), d, 6e-15);  // 15 digits when a 16th 9 was rounded away
        check_round_trip(text, single_text(f, text), f, 1e-6);
        int64_t i;
        std::memcpy(&i, data, 8);
        int32_t length = integer_text(i, text);
        if (scan_number_text(reinterpret_cast<const uint8_t*>(text), static_cast<size_t>(length), &overflow) !=
            static_cast<long double>(i))
            fail("integer STR$ does not read back", text, length);
    }
    return 0;
}
