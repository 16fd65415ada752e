// The string functions and comparisons. Truth values are -1 and 0;
// positions are 1-based. Temporaries follow the ownership rule of
// basic_string.h.
#pragma once
#include <cstdint>

#include "runtime/values/basic_string.h"

int32_t string_equal(BasicString* a, BasicString* b);
int32_t string_not_equal(BasicString* a, BasicString* b);
int32_t string_greater(BasicString* a, BasicString* b);
int32_t string_less(BasicString* a, BasicString* b);
int32_t string_greater_equal(BasicString* a, BasicString* b);
int32_t string_less_equal(BasicString* a, BasicString* b);

int32_t string_instr(int32_t start, BasicString* haystack, BasicString* needle, int32_t start_given);
BasicString* string_ucase(BasicString* s);
BasicString* string_lcase(BasicString* s);
BasicString* string_left(BasicString* s, int32_t n);
BasicString* string_right(BasicString* s, int32_t n);
BasicString* string_mid(BasicString* s, int32_t start, int32_t n, int32_t n_given);
void string_mid_assign(BasicString* destination, int32_t start, int32_t n, BasicString* source,
                       int32_t n_given);
BasicString* string_ltrim(BasicString* s);
BasicString* string_rtrim(BasicString* s);
BasicString* string_space(int32_t n);
BasicString* string_fill(int32_t n, int32_t code);
BasicString* string_chr(int32_t code);
int32_t string_asc(BasicString* s);
int32_t string_asc_at(BasicString* s, int32_t position);
int32_t string_length(BasicString* s);
void string_lset(BasicString* destination, BasicString* source);
void string_rset(BasicString* destination, BasicString* source);

// The file subsystem's record buffers: told after LSET/RSET on a bound string.
extern void (*string_field_store_hook)(BasicString* s);

// True when an operation may change s in place instead of copying it.
inline bool string_modifiable(const BasicString* s) {
    return s->is_temporary && !s->is_fixed_length && !s->is_read_only && !s->in_conventional;
}

// ---- MKI$ / CVI family: little-endian bytes.
BasicString* pack_int8(int8_t value);
BasicString* pack_uint8(uint8_t value);
BasicString* pack_int16(int16_t value);    // MKI$
BasicString* pack_uint16(uint16_t value);
BasicString* pack_int32(int32_t value);    // MKL$
BasicString* pack_uint32(uint32_t value);
BasicString* pack_int64(int64_t value);
BasicString* pack_uint64(uint64_t value);
BasicString* pack_single(float value);     // MKS$
BasicString* pack_double(double value);    // MKD$
BasicString* pack_extended(long double value);  // 32 bytes, 10 of them value
BasicString* pack_bits(uint64_t value, int32_t bits);  // 1..64 bits
BasicString* pack_single_mbf(float value);   // MKSMBF$
BasicString* pack_double_mbf(double value);  // MKDMBF$

int8_t unpack_int8(BasicString* s);
uint8_t unpack_uint8(BasicString* s);
int16_t unpack_int16(BasicString* s);      // CVI
uint16_t unpack_uint16(BasicString* s);
int32_t unpack_int32(BasicString* s);      // CVL
uint32_t unpack_uint32(BasicString* s);
int64_t unpack_int64(BasicString* s);
uint64_t unpack_uint64(BasicString* s);
float unpack_single(BasicString* s);       // CVS
double unpack_double(BasicString* s);      // CVD
long double unpack_extended(BasicString* s);
uint64_t unpack_bits(BasicString* s, int32_t bits);
int64_t unpack_bits_signed(BasicString* s, int32_t bits);
float unpack_single_mbf(BasicString* s);   // CVSMBF
double unpack_double_mbf(BasicString* s);  // CVDMBF

// The format conversions behind the MBF family; false when the value has
// no counterpart in the other format.
bool ieee_single_to_mbf(const uint8_t ieee[4], uint8_t mbf[4]);
bool mbf_single_to_ieee(const uint8_t mbf[4], uint8_t ieee[4]);
bool ieee_double_to_mbf(const uint8_t ieee[8], uint8_t mbf[8]);
bool mbf_double_to_ieee(const uint8_t mbf[8], uint8_t ieee[8]);
