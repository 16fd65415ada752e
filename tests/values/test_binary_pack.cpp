// MKI$/CVI and the rest of the binary family.
#include <cmath>
#include <cstring>
#include <limits>

#include "fixture.h"
#include "runtime/values/string_functions.h"

using BinaryPack = Store;

static std::string bytes_of(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}

TEST_F(BinaryPack, LittleEndianLayouts) {
    EXPECT_EQ(text_of(pack_int16(-2)), bytes_of({0xFE, 0xFF}));
    EXPECT_EQ(text_of(pack_int32(0x01020304)), bytes_of({4, 3, 2, 1}));
    EXPECT_EQ(text_of(pack_uint8(200)), bytes_of({200}));
    EXPECT_EQ(text_of(pack_single(1.0f)), bytes_of({0, 0, 0x80, 0x3F}));
    EXPECT_EQ(pack_double(1.0)->length, 8);
    EXPECT_EQ(pack_int64(-1)->length, 8);
    BasicString* e = pack_extended(1.0L);
    ASSERT_EQ(e->length, 32);
    EXPECT_EQ(text_of(e).substr(7, 3), bytes_of({0x80, 0xFF, 0x3F}));
    EXPECT_EQ(text_of(e).substr(10), std::string(22, '\0'));
}

TEST_F(BinaryPack, RoundTrips) {
    EXPECT_EQ(unpack_int16(pack_int16(-12345)), -12345);
    EXPECT_EQ(unpack_uint16(pack_uint16(65535)), 65535);
    EXPECT_EQ(unpack_int32(pack_int32(INT32_MIN)), INT32_MIN);
    EXPECT_EQ(unpack_uint32(pack_uint32(4000000000u)), 4000000000u);
    EXPECT_EQ(unpack_int64(pack_int64(INT64_MIN)), INT64_MIN);
    EXPECT_EQ(unpack_uint64(pack_uint64(~0ull)), ~0ull);
    EXPECT_EQ(unpack_int8(pack_int8(-7)), -7);
    EXPECT_EQ(unpack_single(pack_single(3.25f)), 3.25f);
    EXPECT_EQ(unpack_double(pack_double(-1e300)), -1e300);
    EXPECT_EQ(unpack_extended(pack_extended(1.0L / 3)), 1.0L / 3);
    EXPECT_EQ(pending_error, 0);
}

TEST_F(BinaryPack, BitFields) {
    EXPECT_EQ(text_of(pack_bits(0x1FF, 9)), bytes_of({0xFF, 0x01}));
    EXPECT_EQ(text_of(pack_bits(0xFFFF, 3)), bytes_of({0x07}));
    EXPECT_EQ(unpack_bits(literal("\xff\xff"), 9), 0x1FFu);
    EXPECT_EQ(unpack_bits_signed(literal("\x04"), 3), -4);
    EXPECT_EQ(unpack_bits_signed(literal("\x03"), 3), 3);
    EXPECT_EQ(unpack_bits_signed(pack_bits(~0ull, 64), 64), -1);
    EXPECT_EQ(pending_error, 0);
    EXPECT_EQ(pack_bits(1, 0)->length, 0);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;
    EXPECT_EQ(unpack_bits(literal("\xff\xff\xff\xff\xff\xff\xff\xff\xff"), 65), 0u);
    EXPECT_EQ(pending_error, 5);
}

TEST_F(BinaryPack, ShortStringsRaiseErrorFiveAndGiveZero) {
    struct Case {
        const char* what;
        double (*unpack)(BasicString*);
        int32_t needs;
    } cases[] = {
        {"CVI", [](BasicString* s) -> double { return unpack_int16(s); }, 2},
        {"CVL", [](BasicString* s) -> double { return unpack_int32(s); }, 4},
        {"CVS", [](BasicString* s) -> double { return unpack_single(s); }, 4},
        {"CVD", [](BasicString* s) -> double { return unpack_double(s); }, 8},
        {"byte", [](BasicString* s) -> double { return unpack_uint8(s); }, 1},
        {"64-bit", [](BasicString* s) -> double { return double(unpack_int64(s)); }, 8},
        {"extended", [](BasicString* s) -> double { return double(unpack_extended(s)); }, 32},
        {"bits 9", [](BasicString* s) -> double { return double(unpack_bits(s, 9)); }, 2},
        {"CVSMBF", [](BasicString* s) -> double { return unpack_single_mbf(s); }, 4},
        {"CVDMBF", [](BasicString* s) -> double { return unpack_double_mbf(s); }, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pending_error = 0;
        EXPECT_EQ(c.unpack(temporary(std::string(c.needs - 1, '\x7f'))), 0);
        EXPECT_EQ(pending_error, 5);
        pending_error = 0;
        c.unpack(temporary(std::string(c.needs, '\x01')));
        EXPECT_EQ(pending_error, 0);
    }
}

TEST_F(BinaryPack, MicrosoftBinaryFormat) {
    EXPECT_EQ(text_of(pack_single_mbf(1.0f)), bytes_of({0, 0, 0, 0x81}));
    EXPECT_EQ(text_of(pack_single_mbf(-0.5f)), bytes_of({0, 0, 0x80, 0x80}));
    EXPECT_EQ(text_of(pack_single_mbf(0.0f)), bytes_of({0, 0, 0, 0}));
    EXPECT_EQ(text_of(pack_double_mbf(1.0)), bytes_of({0, 0, 0, 0, 0, 0, 0, 0x81}));
    EXPECT_EQ(text_of(pack_double_mbf(10.0)), bytes_of({0, 0, 0, 0, 0, 0, 0x20, 0x84}));
    for (float v : {1.0f, -3.75f, 1e-30f, 123456.78f, 1e38f})
        EXPECT_EQ(unpack_single_mbf(pack_single_mbf(v)), v) << v;
    for (double v : {1.0, -2.5e-38, 0.1, 1e38}) EXPECT_EQ(unpack_double_mbf(pack_double_mbf(v)), v) << v;
    EXPECT_EQ(unpack_double_mbf(temporary(std::string(8, '\0'))), 0.0);
    EXPECT_EQ(pending_error, 0);

    // No MBF form: infinities, NaN and doubles beyond the exponent byte.
    for (double v : {std::numeric_limits<double>::infinity(), std::nan(""), 1e300}) {
        pending_error = 0;
        EXPECT_EQ(pack_double_mbf(v)->length, 0) << v;
        EXPECT_EQ(pending_error, 5);
    }
    pending_error = 0;
    EXPECT_EQ(pack_single_mbf(std::numeric_limits<float>::infinity())->length, 0);
    EXPECT_EQ(pending_error, 5);
    pending_error = 0;
    EXPECT_EQ(pack_double_mbf(1e-300)->length, 8);  // below the range: zero
    EXPECT_EQ(unpack_double_mbf(pack_double_mbf(1e-300)), 0.0);
    // The largest MBF single, 2^127 less a little, is an ordinary IEEE single.
    EXPECT_EQ(unpack_single_mbf(literal("\xff\xff\x7f\xff")), std::ldexp(0xFFFFFF / 16777216.0f, 127));
}
