// PRINT USING: field scanning, number layout with its one rounding step,
// string fields and literal text.
#include "runtime/values/using_engine.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

// ---- digit strings ----

namespace {

void digits_of_magnitude(uint64_t magnitude, DigitString& out) {
    out.start = 1;
    out.count = static_cast<int32_t>(
        std::to_chars(out.digits + 1, out.digits + sizeof out.digits, magnitude).ptr - (out.digits + 1));
    out.exponent = 0;
}

// Decimal digits of a 128-bit integer, most significant first.
int32_t write_decimal(unsigned __int128 value, char* out) {
    if (value <= UINT64_MAX)
        return static_cast<int32_t>(std::to_chars(out, out + 20, static_cast<uint64_t>(value)).ptr - out);
    constexpr uint64_t CHUNK = 10000000000000000000ull;  // 10^19
    uint64_t chunks[3];
    int n = 0;
    do {
        chunks[n++] = static_cast<uint64_t>(value % CHUNK);
        value /= CHUNK;
    } while (value != 0);
    char* p = std::to_chars(out, out + 20, chunks[--n]).ptr;
    while (n > 0) {
        uint64_t chunk = chunks[--n];
        for (int i = 18; i >= 0; --i, chunk /= 10) p[i] = static_cast<char>('0' + chunk % 10);
        p += 19;
    }
    return static_cast<int32_t>(p - out);
}

// The exact digits of magnitude = M x 2^scale where they fit 128 bits: an
// integer, or M x 5^k / 10^k for a short binary fraction. That covers the
// values programs usually format and costs far less than the general path.
template <typename Float>
bool exact_digits(Float magnitude, DigitString& out) {
    if (magnitude == 0) {
        digits_of_magnitude(0, out);
        return true;
    }
    uint64_t mantissa;
    int scale;  // magnitude = mantissa x 2^scale
    if constexpr (std::is_same_v<Float, double>) {
        auto bits = std::bit_cast<uint64_t>(magnitude);
        auto biased = static_cast<int>(bits >> 52);
        mantissa = bits & ((uint64_t{1} << 52) - 1);
        if (biased != 0) mantissa |= uint64_t{1} << 52;
        scale = (biased != 0 ? biased : 1) - 1075;
    } else {
        int binary_exponent;
        Float fraction = std::frexp(magnitude, &binary_exponent);
        constexpr int bits = std::numeric_limits<Float>::digits;
        mantissa = static_cast<uint64_t>(std::ldexp(fraction, bits));
        scale = binary_exponent - bits;
    }
    if (mantissa == 0) return false;  // not a number the hardware can hold
    int zeros = std::countr_zero(mantissa);
    mantissa >>= zeros;
    scale += zeros;
    unsigned __int128 value = mantissa;
    if (scale >= 0) {
        if (std::bit_width(mantissa) + scale > 127) return false;
        value <<= scale;
    } else {
        int k = -scale;
        // 5^k needs 2.33k bits.
        if (std::bit_width(mantissa) + (k * 233 + 99) / 100 > 127) return false;
        for (int i = 0; i < k; ++i) value *= 5;
    }
    out.start = 1;
    out.count = write_decimal(value, out.digits + 1);
    out.exponent = scale < 0 ? scale : 0;
    return true;
}

// Otherwise USING_DIGITS significant digits, rounded by the conversion.
template <typename Float>
void rounded_digits(Float magnitude, DigitString& out) {
    char text[USING_DIGITS + 16];
    auto r = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, USING_DIGITS - 1);
    out.start = 1;
    out.count = USING_DIGITS;
    out.digits[1] = text[0];
    std::memcpy(out.digits + 2, text + 2, USING_DIGITS - 1);
    const char* p = text + USING_DIGITS + 2;  // past the 'e'
    bool minus = *p++ == '-';
    int32_t exponent = 0;
    for (; p < r.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    out.exponent = (minus ? -exponent : exponent) - (USING_DIGITS - 1);
}

template <typename Float>
bool digits_of_float(Float value, DigitString& out) {
    if (!std::isfinite(value)) return false;
    Float magnitude = std::fabs(value);
    if (!exact_digits(magnitude, out)) rounded_digits(magnitude, out);
    // A zero of either sign places as zero: a field never shows "-0".
    out.negative = value < 0;
    return true;
}

}  // namespace

void digits_of_integer(int64_t value, DigitString& out) {
    digits_of_magnitude(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value), out);
    out.negative = value < 0;
}

void digits_of_unsigned(uint64_t value, DigitString& out) {
    digits_of_magnitude(value, out);
    out.negative = false;
}

bool digits_of_double(double value, DigitString& out) { return digits_of_float(value, out); }

bool digits_of_extended(long double value, DigitString& out) { return digits_of_float(value, out); }

// ---- fields ----

namespace {

struct Field {
    int64_t integer = 0;     // digit positions before the point (commas count)
    int64_t fraction = 0;    // digit positions after it
    bool point = false, comma = false, dollar = false, fill = false;
    bool lead_plus = false, trail_plus = false, trail_minus = false;
    int32_t exponent_digits = 0;
    int state = 0;           // 0 start, 1 after "+", 2 integer, 3 fraction, 4 after "^"
    int32_t end = 0;

    bool exists() const { return state >= 2 && integer + fraction > 0; }
    bool signed_field() const { return lead_plus || trail_plus || trail_minus; }
};

bool run_of(const uint8_t* f, int32_t at, int32_t n, uint8_t c) {
    for (int32_t i = 0; i < n; ++i)
        if (f[at + i] != c) return false;
    return true;
}

Field scan_field(const uint8_t* f, int32_t length, int32_t at) {
    Field field;
    int32_t i = at;
    for (; i < length; ++i) {
        uint8_t c = f[i];
        int32_t left = length - i;
        if (field.state >= 2 && (c == '+' || c == '-')) {
            (c == '+' ? field.trail_plus : field.trail_minus) = true;
            ++i;
            break;
        }
        if ((field.state == 2 || field.state == 3) && c == '^') {
            int32_t run = left > 4 && run_of(f, i, 5, '^') ? 5 : left > 3 && run_of(f, i, 4, '^') ? 4 : 0;
            if (run == 0) break;
            field.exponent_digits = run - 2;
            field.state = 4;
            i += run - 1;
        } else if (field.state == 3 && c == '#') {
            ++field.fraction;
        } else if (field.state == 2 && c == ',') {
            ++field.integer;
            field.comma = true;
        } else if (field.state <= 2 && c == '#') {
            ++field.integer;
            field.state = 2;
        } else if (field.state <= 2 && c == '.') {
            field.point = true;
            field.state = 3;
        } else if (field.state <= 1 && c == '*' && left > 2 && f[i + 1] == '*' && f[i + 2] == '$') {
            field.fill = field.dollar = true;
            field.integer += 2;
            field.state = 2;
            i += 2;
        } else if (field.state <= 1 && c == '*' && left > 1 && f[i + 1] == '*') {
            field.fill = true;
            field.integer += 2;
            field.state = 2;
            i += 1;
        } else if (field.state <= 1 && c == '$' && left > 1 && f[i + 1] == '$') {
            field.dollar = true;
            field.integer += 1;
            field.state = 2;
            i += 1;
        } else if (field.state == 0 && c == '+') {
            field.lead_plus = true;
            field.state = 1;
        } else {
            break;
        }
    }
    field.end = i;
    return field;
}

// ---- number layout ----

class Layout {
public:
    Layout(std::string& out, const DigitString& d) : out_(out), d_(d) {}
    void put(char c) { out_.push_back(c); }
    void put(char c, int64_t n) {
        if (n > 0) out_.append(static_cast<size_t>(n), c);
    }
    // The next digit not yet shown, or "0" once they are all used.
    void digit() {
        put(used_ < d_.count ? d_.digits[d_.start + used_] : '0');
        ++used_;
    }
    int64_t used() const { return used_; }

private:
    std::string& out_;
    const DigitString& d_;
    int64_t used_ = 0;
};

void put_trailing_sign(Layout& out, const Field& field, bool negative) {
    if (field.trail_plus) out.put(negative ? '-' : '+');
    if (field.trail_minus) out.put(negative ? '-' : ' ');
}

int64_t places_before_point(const DigitString& d) { return int64_t{d.exponent} + d.count; }

bool is_zero(const DigitString& d) { return d.digits[d.start] == '0'; }

int64_t lay_out_plain(const Field& field, const DigitString& d, std::string& text) {
    Layout out(text, d);
    int64_t n = field.integer;
    int64_t i = places_before_point(d);
    bool reserve_sign = d.negative && !field.signed_field();
    if (reserve_sign) --n;
    int64_t width = n;
    if (field.comma) n -= n / 4;
    if (n == 0 && i == 1 && is_zero(d)) i = 0;  // zero shows as fraction digits only
    bool overflow = n < i;
    if (overflow) {
        n = i;
        if (field.comma) width = i + (i - 1) / 3;
    }
    if (!field.comma) width = n;
    int64_t shown = std::max<int64_t>(field.comma ? i + (i - 1) / 3 : i, 0);
    int64_t zeros = i < 0 ? -i : 0;
    int64_t padding = width - shown;
    bool lead_zero = shown == 0 && padding > 0;
    if (lead_zero) --padding;

    if (overflow) out.put('%');
    if (field.lead_plus) out.put(d.negative ? '-' : '+');
    out.put(field.fill ? '*' : ' ', padding);
    if (reserve_sign) out.put('-');
    if (field.dollar) out.put('$');
    if (lead_zero) out.put('0');
    for (int64_t k = 0; k < shown; ++k) {
        if (field.comma && (shown - k) % 4 == 0)
            out.put(',');
        else
            out.digit();
    }
    if (field.point) out.put('.');
    for (int64_t k = 0; k < field.fraction; ++k) {
        if (k < zeros)
            out.put('0');
        else
            out.digit();
    }
    put_trailing_sign(out, field, d.negative);
    return out.used();
}

int64_t lay_out_exponent(const Field& field, const DigitString& d, char letter, std::string& text) {
    Layout out(text, d);
    int64_t n = field.integer, f = field.fraction;
    bool point = field.point;
    bool reserve_sign = !field.signed_field();
    if (reserve_sign) {
        if (n > 0) {
            --n;
        } else if (--f == 0) {
            point = false;
            n = 1;
        }
    }
    int64_t i = places_before_point(d);
    if (n == 0 && i == 1 && is_zero(d)) i = 0;
    bool sign_zero = false;
    if (reserve_sign && !d.negative && n < 1) {
        if (f > 0)
            sign_zero = true;
        else
            n = 1;
    }
    bool overflow = false;
    if (n == 0 && f == 0) {
        overflow = true;
        n = 1;
    }
    int64_t power = n == 0 ? i : (i - 1) - (n - 1);
    char power_digits[24];
    auto magnitude = static_cast<uint64_t>(power < 0 ? -power : power);
    int32_t power_length = static_cast<int32_t>(std::to_chars(power_digits, power_digits + sizeof power_digits, magnitude).ptr - power_digits);
    int32_t exponent_digits = field.exponent_digits;
    if (power_length > exponent_digits) {
        overflow = true;
        exponent_digits = power_length;
    }

    if (overflow) out.put('%');
    if (field.lead_plus) out.put(d.negative ? '-' : '+');
    if (field.dollar) out.put('$');
    if (reserve_sign) out.put(d.negative ? '-' : sign_zero ? '0' : ' ');
    for (int64_t k = 0; k < n; ++k) out.digit();
    if (point) out.put('.');
    for (int64_t k = 0; k < f; ++k) out.digit();
    out.put(letter);
    out.put(power < 0 ? '-' : '+');
    out.put('0', exponent_digits - power_length);
    for (int32_t k = 0; k < power_length; ++k) out.put(power_digits[k]);
    put_trailing_sign(out, field, d.negative);
    return out.used();
}

// Rounds half away from zero after the first `shown` digits; a carry out of
// the front makes the string one digit longer.
void round_up_after(DigitString& d, int64_t shown) {
    char* s = d.digits + d.start - 1;
    s[0] = '0';
    int64_t k = shown;
    while (s[k] == '9') s[k--] = '0';
    ++s[k];
    if (s[0] != '0') {
        --d.start;
        ++d.count;
    }
}

void lay_out_number(const Field& field, const DigitString& number, char letter, std::string& out) {
    // Only the digits in use are copied: the rounding step changes them.
    DigitString d;
    d.count = number.count;
    d.exponent = number.exponent;
    d.negative = number.negative;
    std::memcpy(d.digits + d.start, number.digits + number.start, static_cast<size_t>(number.count));
    size_t mark = out.size();
    for (bool rounded = false;; rounded = true) {
        int64_t shown = field.exponent_digits ? lay_out_exponent(field, d, letter, out)
                                              : lay_out_plain(field, d, out);
        if (rounded || shown >= d.count || d.digits[d.start + shown] < '5') return;
        round_up_after(d, shown);
        out.resize(mark);
    }
}

// Width in the format of the string field at `at`; -1 for "&", 0 for none.
int32_t string_field(const uint8_t* f, int32_t length, int32_t at) {
    if (f[at] == '&') return -1;
    if (f[at] == '!') return 1;
    if (f[at] != '\\') return 0;
    int32_t i = at + 1;
    while (i < length && f[i] == ' ') ++i;
    return i < length && f[i] == '\\' ? i - at + 1 : 0;
}

}  // namespace

int32_t place_using(const uint8_t* format, int32_t length, int32_t position,
                    const UsingValue& value, std::string& out, int32_t* error) {
    *error = 0;
    if (length <= 0) {
        *error = 5;
        return 0;
    }
    int32_t p = position >= 0 && position < length ? position : 0;
    const bool started_at_start = p == 0;
    bool restarted = false;
    enum { placed, number_waits, string_waits } mode = value.number ? number_waits : string_waits;
    for (;;) {
        Field field = scan_field(format, length, p);
        if (field.exists()) {
            if (mode == placed) return p;
            if (mode == string_waits) {
                *error = 13;
                return 0;
            }
            lay_out_number(field, *value.number, value.exponent_letter, out);
            mode = placed;
            p = field.end;
            if (p >= length) return 0;
            continue;
        }
        if (int32_t width = string_field(format, length, p)) {
            if (mode == placed) return p;
            if (mode == number_waits) {
                *error = 13;
                return 0;
            }
            if (width < 0) {
                out.append(reinterpret_cast<const char*>(value.text), static_cast<size_t>(value.text_length));
                width = 1;
            } else {
                int32_t taken = std::min(width, value.text_length);
                out.append(reinterpret_cast<const char*>(value.text), static_cast<size_t>(taken));
                out.append(static_cast<size_t>(width - taken), ' ');
            }
            mode = placed;
            p += width;
            if (p >= length) return 0;
            continue;
        }
        if (format[p] == '_' && p + 1 < length) ++p;
        out.push_back(static_cast<char>(format[p]));
        if (++p < length) continue;
        p = 0;
        if (mode == placed) return 0;
        // A second pass over the whole format found nothing either.
        if (started_at_start || restarted) {
            *error = 5;
            return 0;
        }
        restarted = true;
    }
}
