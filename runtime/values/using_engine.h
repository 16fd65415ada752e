// The PRINT USING engine on plain byte buffers: places one value into a
// format text and appends what it produces. All state is passed in and out,
// so it is safe on any thread.
#pragma once
#include <cstdint>
#include <string>

// Significant digits the floating-point sources provide at most.
constexpr int32_t USING_DIGITS = 256;

// A number as the engine places it: 0.d1d2...dn x 10^(exponent + count).
// The digits sit at digits[start..start + count - 1]; the byte before them
// is room for the carry of the one rounding step.
struct DigitString {
    char digits[USING_DIGITS + 2];
    int32_t start = 1;
    int32_t count = 0;
    int32_t exponent = 0;
    bool negative = false;
};

void digits_of_integer(int64_t value, DigitString& out);
void digits_of_unsigned(uint64_t value, DigitString& out);
// False for an infinity or NaN, which no field can show.
bool digits_of_double(double value, DigitString& out);
bool digits_of_extended(long double value, DigitString& out);

// One value to place: a number (its digits and exponent letter) or a string.
struct UsingValue {
    const DigitString* number = nullptr;
    char exponent_letter = 'E';
    const uint8_t* text = nullptr;
    int32_t text_length = 0;
};

// Places value into format from position on, appending to out, and returns
// where the next value continues (0: the start of the format). *error is
// set to 5 when the format holds no field for the value and to 13 when the
// field waiting there is of the other kind; 0 otherwise.
int32_t place_using(const uint8_t* format, int32_t length, int32_t position,
                    const UsingValue& value, std::string& out, int32_t* error);
