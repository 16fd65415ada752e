// MKI$/CVI and the rest of the binary family: values as little-endian
// bytes in strings, including bit fields, the 80-bit extended form and
// the Microsoft Binary Format singles and doubles.
#include <cmath>
#include <cstring>

#include "runtime/core/errors.h"
#include "runtime/values/string_functions.h"

namespace {

BasicString* pack(const void* bytes, int32_t n) { return string_from_bytes(bytes, n); }

// Copies the first n bytes of s, or raises error 5 when s is shorter.
bool unpack(const BasicString* s, void* out, int32_t n) {
    if (s->length < n) {
        raise_error(5);
        return false;
    }
    std::memcpy(out, s->chars, n);
    return true;
}

template <typename T>
T unpack_as(BasicString* s) {
    T value{};
    return unpack(s, &value, sizeof value) ? value : T{};
}

constexpr int32_t EXTENDED_BYTES = 10;
constexpr int32_t EXTENDED_STRING = 32;

bool valid_bits(int32_t bits) {
    if (bits >= 1 && bits <= 64) return true;
    raise_error(5);
    return false;
}

uint64_t mask_of(int32_t bits) { return bits == 64 ? ~0ull : (1ull << bits) - 1; }

}  // namespace

BasicString* pack_int8(int8_t v) { return pack(&v, 1); }
BasicString* pack_uint8(uint8_t v) { return pack(&v, 1); }
BasicString* pack_int16(int16_t v) { return pack(&v, 2); }
BasicString* pack_uint16(uint16_t v) { return pack(&v, 2); }
BasicString* pack_int32(int32_t v) { return pack(&v, 4); }
BasicString* pack_uint32(uint32_t v) { return pack(&v, 4); }
BasicString* pack_int64(int64_t v) { return pack(&v, 8); }
BasicString* pack_uint64(uint64_t v) { return pack(&v, 8); }
BasicString* pack_single(float v) { return pack(&v, 4); }
BasicString* pack_double(double v) { return pack(&v, 8); }

BasicString* pack_extended(long double v) {
    static_assert(sizeof(long double) >= EXTENDED_BYTES, "80-bit extended expected");
    uint8_t bytes[EXTENDED_STRING] = {};
    std::memcpy(bytes, &v, EXTENDED_BYTES);
    return pack(bytes, EXTENDED_STRING);
}

BasicString* pack_bits(uint64_t v, int32_t bits) {
    if (!valid_bits(bits)) return string_new(0, 1);
    v &= mask_of(bits);
    return pack(&v, (bits + 7) / 8);
}

int8_t unpack_int8(BasicString* s) { return unpack_as<int8_t>(s); }
uint8_t unpack_uint8(BasicString* s) { return unpack_as<uint8_t>(s); }
int16_t unpack_int16(BasicString* s) { return unpack_as<int16_t>(s); }
uint16_t unpack_uint16(BasicString* s) { return unpack_as<uint16_t>(s); }
int32_t unpack_int32(BasicString* s) { return unpack_as<int32_t>(s); }
uint32_t unpack_uint32(BasicString* s) { return unpack_as<uint32_t>(s); }
int64_t unpack_int64(BasicString* s) { return unpack_as<int64_t>(s); }
uint64_t unpack_uint64(BasicString* s) { return unpack_as<uint64_t>(s); }
float unpack_single(BasicString* s) { return unpack_as<float>(s); }
double unpack_double(BasicString* s) { return unpack_as<double>(s); }

long double unpack_extended(BasicString* s) {
    if (s->length < EXTENDED_STRING) {
        raise_error(5);
        return 0;
    }
    long double v = 0;
    std::memcpy(&v, s->chars, EXTENDED_BYTES);
    return v;
}

uint64_t unpack_bits(BasicString* s, int32_t bits) {
    if (!valid_bits(bits)) return 0;
    uint64_t v = 0;
    if (!unpack(s, &v, (bits + 7) / 8)) return 0;
    return v & mask_of(bits);
}

int64_t unpack_bits_signed(BasicString* s, int32_t bits) {
    uint64_t v = unpack_bits(s, bits);
    if (bits >= 1 && bits < 64 && (v >> (bits - 1) & 1)) v |= ~mask_of(bits);
    return static_cast<int64_t>(v);
}

// ------------------------------------------------ Microsoft Binary Format
//
// MBF keeps an exponent byte (bias 129, 0 meaning zero) above the sign bit
// and the mantissa without its leading 1. IEEE infinities, NaNs and values
// too large for the exponent byte have no MBF form; numbers below the MBF
// range become 0.

bool ieee_single_to_mbf(const uint8_t ieee[4], uint8_t mbf[4]) {
    uint32_t bits;
    std::memcpy(&bits, ieee, 4);
    uint32_t sign = bits >> 31, exponent = bits >> 23 & 0xFF, mantissa = bits & 0x7FFFFF;
    std::memset(mbf, 0, 4);
    if (exponent == 0xFF) return false;
    if (exponent == 0) return true;  // zero, and subnormals below the MBF range
    exponent += 2;
    if (exponent > 0xFF) return false;
    mbf[0] = static_cast<uint8_t>(mantissa);
    mbf[1] = static_cast<uint8_t>(mantissa >> 8);
    mbf[2] = static_cast<uint8_t>(sign << 7 | (mantissa >> 16 & 0x7F));
    mbf[3] = static_cast<uint8_t>(exponent);
    return true;
}

bool mbf_single_to_ieee(const uint8_t mbf[4], uint8_t ieee[4]) {
    float value = 0;
    if (mbf[3] != 0) {
        uint32_t mantissa = (mbf[2] & 0x7Fu) << 16 | mbf[1] << 8 | mbf[0];
        // 0.1mmm x 2^(e-128) = 1.mmm x 2^(e-129); small exponents land subnormal.
        value = std::ldexp(static_cast<float>(mantissa | 0x800000), mbf[3] - 129 - 23);
        if (mbf[2] & 0x80) value = -value;
    }
    std::memcpy(ieee, &value, 4);
    return true;
}

bool ieee_double_to_mbf(const uint8_t ieee[8], uint8_t mbf[8]) {
    uint64_t bits;
    std::memcpy(&bits, ieee, 8);
    uint64_t sign = bits >> 63, mantissa = bits & 0xFFFFFFFFFFFFFull;
    int32_t exponent = static_cast<int32_t>(bits >> 52 & 0x7FF);
    std::memset(mbf, 0, 8);
    if (exponent == 0x7FF) return false;
    if (exponent == 0) return true;
    exponent = exponent - 1023 + 129;
    if (exponent > 0xFF) return false;
    if (exponent < 1) return true;  // below the MBF range
    uint64_t m = mantissa << 3;  // 52 bits widen to 55
    for (int i = 0; i < 6; ++i) mbf[i] = static_cast<uint8_t>(m >> (8 * i));
    mbf[6] = static_cast<uint8_t>(sign << 7 | (m >> 48 & 0x7F));
    mbf[7] = static_cast<uint8_t>(exponent);
    return true;
}

bool mbf_double_to_ieee(const uint8_t mbf[8], uint8_t ieee[8]) {
    uint64_t bits = 0;
    if (mbf[7] != 0) {
        uint64_t m = 0;
        for (int i = 0; i < 7; ++i) m |= static_cast<uint64_t>(i == 6 ? mbf[6] & 0x7F : mbf[i]) << (8 * i);
        // 55 bits narrow to 52: round to nearest, ties to even.
        uint64_t kept = m >> 3, dropped = m & 7;
        if (dropped > 4 || (dropped == 4 && (kept & 1))) ++kept;
        uint64_t exponent = mbf[7] - 129 + 1023;
        if (kept >> 52) {  // the rounding carried into the hidden bit
            kept = 0;
            ++exponent;
        }
        bits = static_cast<uint64_t>(mbf[6] >> 7) << 63 | exponent << 52 | kept;
    }
    std::memcpy(ieee, &bits, 8);
    return true;
}

namespace {

using Conversion = bool (*)(const uint8_t*, uint8_t*);

template <typename T, Conversion to_mbf>
BasicString* pack_mbf(T v) {
    uint8_t ieee[sizeof v], mbf[sizeof v];
    std::memcpy(ieee, &v, sizeof v);
    if (!to_mbf(ieee, mbf)) {
        raise_error(5);
        return string_new(0, 1);
    }
    return pack(mbf, sizeof v);
}

template <typename T, Conversion from_mbf>
T unpack_mbf(BasicString* s) {
    uint8_t mbf[sizeof(T)], ieee[sizeof(T)];
    if (!unpack(s, mbf, sizeof(T))) return 0;
    if (!from_mbf(mbf, ieee)) {
        raise_error(5);
        return 0;
    }
    T v;
    std::memcpy(&v, ieee, sizeof v);
    return v;
}

}  // namespace

BasicString* pack_single_mbf(float v) { return pack_mbf<float, ieee_single_to_mbf>(v); }
BasicString* pack_double_mbf(double v) { return pack_mbf<double, ieee_double_to_mbf>(v); }
float unpack_single_mbf(BasicString* s) { return unpack_mbf<float, mbf_single_to_ieee>(s); }
double unpack_double_mbf(BasicString* s) { return unpack_mbf<double, mbf_double_to_ieee>(s); }
