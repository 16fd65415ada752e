// STR$, VAL and the PRINT USING wrappers: thin layers that move bytes
// between BasicString and the buffer engines.
#include "runtime/values/numbers.h"

#include <cstring>
#include <string>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/values/basic_string.h"
#include "runtime/values/number_text.h"
#include "runtime/values/using_engine.h"

namespace {

bool error_is_pending() { return pending_error.load(std::memory_order_relaxed) != 0; }

template <typename Int>
BasicString* signed_text(Int value) {
    char text[NUMBER_TEXT_MAX];
    return string_from_bytes(text, integer_text(value, text));
}

template <typename Int>
BasicString* unsigned_number_text(Int value) {
    char text[NUMBER_TEXT_MAX];
    return string_from_bytes(text, unsigned_text(value, text));
}

}  // namespace

BasicString* number_to_text(int8_t value) { return signed_text(value); }
BasicString* number_to_text(int16_t value) { return signed_text(value); }
BasicString* number_to_text(int32_t value) { return signed_text(value); }
BasicString* number_to_text(int64_t value) { return signed_text(value); }
BasicString* number_to_text(uint8_t value) { return unsigned_number_text(value); }
BasicString* number_to_text(uint16_t value) { return unsigned_number_text(value); }
BasicString* number_to_text(uint32_t value) { return unsigned_number_text(value); }
BasicString* number_to_text(uint64_t value) { return unsigned_number_text(value); }

BasicString* number_to_text(float value) {
    char text[NUMBER_TEXT_MAX];
    return string_from_bytes(text, single_text(value, text));
}

BasicString* number_to_text(double value) {
    char text[NUMBER_TEXT_MAX];
    return string_from_bytes(text, double_text(value, text));
}

BasicString* number_to_text(long double value) { return number_to_text(static_cast<double>(value)); }

long double text_to_number(BasicString* text) {
    if (!text || text->length <= 0) return 0;
    bool overflow = false;
    long double value = scan_number_text(text->chars, static_cast<size_t>(text->length), &overflow);
    if (overflow) raise_error(6);
    return value;
}

// ---- PRINT USING ----

namespace {

// Runs the engine and appends what it produced to output.
int32_t place(BasicString* format, int32_t position, BasicString* output, const UsingValue& value) {
    if (!format || !output) {
        raise_error(5);
        return 0;
    }
    // The engine's output is small and short-lived; one buffer per thread
    // keeps repeated statements from allocating.
    thread_local std::string produced;
    produced.clear();
    int32_t error = 0;
    int32_t next = place_using(format->chars, format->length, position, value, produced, &error);
    if (!produced.empty()) {
        auto added = static_cast<int32_t>(produced.size());
        BasicString* joined = string_new(output->length + added, 1);
        if (output->length) std::memcpy(joined->chars, output->chars, static_cast<size_t>(output->length));
        std::memcpy(joined->chars + output->length, produced.data(), produced.size());
        string_assign(output, joined);
    }
    if (error) raise_error(error);
    return next;
}

int32_t place_number(BasicString* format, int32_t position, BasicString* output, const DigitString& digits,
                     char letter) {
    UsingValue value;
    value.number = &digits;
    value.exponent_letter = letter;
    return place(format, position, output, value);
}

// A value no field can show (infinity, NaN) is error 5.
int32_t place_float(BasicString* format, bool finite, const DigitString& digits, int32_t position,
                    BasicString* output, char letter) {
    if (!finite) {
        raise_error(5);
        return 0;
    }
    return place_number(format, position, output, digits, letter);
}

}  // namespace

int32_t format_using(BasicString* format, int32_t position, BasicString* output, BasicString* value) {
    if (error_is_pending()) return 0;
    UsingValue text;
    if (value) {
        text.text = value->chars;
        text.text_length = value->length;
    }
    return place(format, position, output, text);
}

int32_t format_using_integer(BasicString* format, int64_t value, int32_t position, BasicString* output) {
    if (error_is_pending()) return 0;
    DigitString digits;
    digits_of_integer(value, digits);
    return place_number(format, position, output, digits, 'E');
}

int32_t format_using_unsigned(BasicString* format, uint64_t value, int32_t position, BasicString* output) {
    if (error_is_pending()) return 0;
    DigitString digits;
    digits_of_unsigned(value, digits);
    return place_number(format, position, output, digits, 'E');
}

int32_t format_using_single(BasicString* format, float value, int32_t position, BasicString* output) {
    if (error_is_pending()) return 0;
    DigitString digits;
    bool finite = digits_of_double(value, digits);
    return place_float(format, finite, digits, position, output, 'E');
}

int32_t format_using_double(BasicString* format, double value, int32_t position, BasicString* output) {
    if (error_is_pending()) return 0;
    DigitString digits;
    bool finite = digits_of_double(value, digits);
    return place_float(format, finite, digits, position, output, 'D');
}

int32_t format_using_extended(BasicString* format, long double value, int32_t position,
                              BasicString* output) {
    if (error_is_pending()) return 0;
    DigitString digits;
    bool finite = digits_of_extended(value, digits);
    return place_float(format, finite, digits, position, output, 'F');
}
