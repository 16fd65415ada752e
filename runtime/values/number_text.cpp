// STR$ and VAL texts. Digits come from std::to_chars, whose scientific
// form is an exact conversion rounded half to even; the BASIC layout is
// built from those digits directly rather than by formatting twice.
#include "runtime/values/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

struct FloatStyle {
    int digits;           // significant digits shown at most
    int max_plain;        // largest exponent still written plainly
    int min_tail;         // exponent - digits must not fall below this
    char letter;          // exponent letter
    bool settle_nines;    // a last digit 9 is rounded away (double only)
};

constexpr FloatStyle SINGLE_STYLE{7, 6, -8, 'E', false};
constexpr FloatStyle DOUBLE_STYLE{16, 15, -17, 'D', true};

// Writes the magnitude's first `count` significant digits (rounded) into
// digits and returns the decimal exponent of the first one.
int significant_digits(double magnitude, int count, char* digits) {
    char text[48];
    auto r = std::to_chars(text, text + sizeof text, magnitude,
                           std::chars_format::scientific, count - 1);
    const char* p = text;
    for (int i = 0; i < count; ++p)
        if (*p != '.') digits[i++] = *p;
    ++p;  // 'e'
    bool minus = *p++ == '-';
    int exponent = 0;
    for (; p < r.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    return minus ? -exponent : exponent;
}

int32_t special_text(double value, char* out) {
    const char* text = std::isnan(value) ? " NAN" : value < 0 ? "-INF" : " INF";
    std::memcpy(out, text, 4);
    return 4;
}

int32_t float_text(double value, const FloatStyle& style, char* out) {
    if (!std::isfinite(value)) return special_text(value, out);
    char digits[20];
    int exponent = significant_digits(std::fabs(value), style.digits, digits);
    if (style.settle_nines && digits[style.digits - 1] == '9') {
        exponent = significant_digits(std::fabs(value), style.digits - 1, digits);
        digits[style.digits - 1] = '0';
    }
    int count = style.digits;
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) {
        out[0] = ' ';
        out[1] = '0';
        return 2;
    }

    char* p = out;
    *p++ = value < 0 ? '-' : ' ';
    if (exponent <= style.max_plain && exponent - count >= style.min_tail) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i) *p++ = i < count ? digits[i] : '0';
            if (count > exponent + 1) {
                *p++ = '.';
                for (int i = exponent + 1; i < count; ++i) *p++ = digits[i];
            }
        } else {  // below 1: no zero before the point
            *p++ = '.';
            for (int i = 1; i < -exponent; ++i) *p++ = '0';
            for (int i = 0; i < count; ++i) *p++ = digits[i];
        }
        return static_cast<int32_t>(p - out);
    }

    *p++ = digits[0];
    if (count > 1) {
        *p++ = '.';
        for (int i = 1; i < count; ++i) *p++ = digits[i];
    }
    *p++ = style.letter;
    *p++ = exponent < 0 ? '-' : '+';
    int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude > 99) *p++ = static_cast<char>('0' + magnitude / 100);
    *p++ = static_cast<char>('0' + magnitude / 10 % 10);
    *p++ = static_cast<char>('0' + magnitude % 10);
    return static_cast<int32_t>(p - out);
}

}  // namespace

int32_t integer_text(int64_t value, char* out) {
    out[0] = value < 0 ? '-' : ' ';
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return static_cast<int32_t>(std::to_chars(out + 1, out + NUMBER_TEXT_MAX, magnitude).ptr - out);
}

int32_t unsigned_text(uint64_t value, char* out) {
    out[0] = ' ';
    return static_cast<int32_t>(std::to_chars(out + 1, out + NUMBER_TEXT_MAX, value).ptr - out);
}

int32_t single_text(float value, char* out) { return float_text(value, SINGLE_STYLE, out); }

int32_t double_text(double value, char* out) { return float_text(value, DOUBLE_STYLE, out); }

// ---- VAL ----

namespace {

// Mantissa digits beyond this many only matter as "something non-zero
// follows", which a final 1 stands for; it keeps the work bounded for
// texts of any length without changing the rounded result.
constexpr int KEPT_DIGITS = 800;

struct Scanner {
    const uint8_t* text;
    size_t length;
    size_t at = 0;

    // Blanks do not count anywhere inside a decimal number.
    int peek() {
        while (at < length && (text[at] == ' ' || text[at] == '\t')) ++at;
        return at < length ? text[at] : -1;
    }
};

int radix_digit(int c, int base) {
    if (c >= '0' && c <= '7') return c - '0';
    if (base == 8) return -1;
    if (c == '8' || c == '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The text after "&". A blank ends the constant like any other non-digit.
long double scan_radix(const uint8_t* text, size_t length, bool* overflow) {
    if (length < 2) return 0;
    int base = (text[0] == 'H' || text[0] == 'h') ? 16 : (text[0] == 'O' || text[0] == 'o') ? 8 : 0;
    if (base == 0) return 0;
    uint64_t value = 0;
    int significant = 0, first = 0;
    for (size_t i = 1; i < length; ++i) {
        int d = radix_digit(text[i], base);
        if (d < 0) break;
        if (significant == 0 && d == 0) continue;
        if (significant++ == 0) first = d;
        bool too_long = base == 16 ? significant > 16 : significant > 22 || (significant == 22 && first != 1);
        if (too_long) {
            *overflow = true;
            return 0;
        }
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    return static_cast<long double>(static_cast<int64_t>(value));
}

long double scan_decimal(Scanner& s) {
    bool negative = false;
    if (int c = s.peek(); c == '+' || c == '-') {
        negative = c == '-';
        ++s.at;
    }

    char digits[KEPT_DIGITS + 1];
    int kept = 0;
    bool sticky = false;              // a non-zero digit beyond KEPT_DIGITS
    int64_t integer_digits = 0;       // kept digits before the point
    int64_t fraction_digits = 0;      // kept digits after the point
    int64_t leading_zeros = 0;        // zeros after the point before any kept digit
    bool in_fraction = false;
    int c;
    while ((c = s.peek()) >= 0) {
        if (c >= '0' && c <= '9') {
            if (kept == 0 && c == '0') {
                if (in_fraction) ++leading_zeros;
            } else {
                if (kept < KEPT_DIGITS)
                    digits[kept++] = static_cast<char>(c);
                else if (c != '0')
                    sticky = true;
                ++(in_fraction ? fraction_digits : integer_digits);
            }
        } else if (c == '.' && !in_fraction) {
            in_fraction = true;
        } else {
            break;
        }
        ++s.at;
    }

    int64_t exponent = 0;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        ++s.at;
        bool exponent_negative = false;
        if (int sign = s.peek(); sign == '+' || sign == '-') {
            exponent_negative = sign == '-';
            ++s.at;
        }
        int significant = 0;
        while ((c = s.peek()) >= '0' && c <= '9') {
            if (significant > 0 || c != '0') {
                if (++significant > 18) break;
                exponent = exponent * 10 + (c - '0');
            }
            ++s.at;
        }
        if (exponent_negative) exponent = -exponent;
    }

    if (kept == 0) return 0;
    if (exponent == 0 && fraction_digits == 0 && kept <= 18) {
        int64_t value = 0;
        for (int i = 0; i < kept; ++i) value = value * 10 + (digits[i] - '0');
        return static_cast<long double>(negative ? -value : value);
    }

    // Normalised text: sign, d.ddd, E, exponent of the first digit.
    int64_t first_exponent = integer_digits > 0 ? integer_digits - 1 : -(leading_zeros + 1);
    int64_t scale = first_exponent + exponent;
    char text[KEPT_DIGITS + 48];
    char* p = text;
    if (negative) *p++ = '-';
    *p++ = digits[0];
    if (kept > 1 || sticky) {
        *p++ = '.';
        std::memcpy(p, digits + 1, static_cast<size_t>(kept - 1));
        p += kept - 1;
        if (sticky) *p++ = '1';
    }
    *p++ = 'E';
    p = std::to_chars(p, text + sizeof text, scale).ptr;
    long double value = 0;
    auto r = std::from_chars(text, p, value);
    if (r.ec == std::errc::result_out_of_range)
        value = scale > 0 ? (negative ? -HUGE_VALL : HUGE_VALL) : (negative ? -0.0L : 0.0L);
    return value;
}

}  // namespace

long double scan_number_text(const uint8_t* text, size_t length, bool* overflow) {
    *overflow = false;
    Scanner s{text, length};
    if (s.peek() == '&') return scan_radix(text + s.at + 1, length - s.at - 1, overflow);
    return scan_decimal(s);
}
