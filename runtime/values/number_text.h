// Number texts on plain byte buffers: the text STR$ gives for each numeric
// type, and the number VAL reads from a text. Nothing here touches string
// storage or shared state, so every function is safe on any thread.
#pragma once
#include <cstddef>
#include <cstdint>

// Room for the longest text any of the *_text functions writes.
constexpr int32_t NUMBER_TEXT_MAX = 32;

// " 5" / "-5": a blank stands where a minus sign would. Return the length.
int32_t integer_text(int64_t value, char* out);
int32_t unsigned_text(uint64_t value, char* out);

// At most 7 significant digits, exponent letter "E".
int32_t single_text(float value, char* out);
// At most 16 significant digits, exponent letter "D".
int32_t double_text(double value, char* out);

// VAL: reads the longest prefix of text that forms a number. A radix
// constant ("&H", "&O") too long for 64 bits sets *overflow and gives 0.
long double scan_number_text(const uint8_t* text, size_t length, bool* overflow);
