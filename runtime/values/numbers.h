// STR$, VAL and PRINT USING over BasicString. The text work is done by
// number_text.h and using_engine.h; these are the program's entry points.
#pragma once
#include <cstdint>

struct BasicString;

// STR$: a new temporary. Non-negative numbers start with a blank.
BasicString* number_to_text(int8_t value);
BasicString* number_to_text(int16_t value);
BasicString* number_to_text(int32_t value);
BasicString* number_to_text(int64_t value);
BasicString* number_to_text(uint8_t value);
BasicString* number_to_text(uint16_t value);
BasicString* number_to_text(uint32_t value);
BasicString* number_to_text(uint64_t value);
BasicString* number_to_text(float value);
BasicString* number_to_text(double value);
BasicString* number_to_text(long double value);

// VAL. A temporary argument is left for the statement's cleanup. A radix
// constant too long for 64 bits raises error 6 and gives 0.
long double text_to_number(BasicString* text);

// PRINT of a number: its STR$ text with a blank after it, as one item.
void print_number(int8_t value);
void print_number(int16_t value);
void print_number(int32_t value);
void print_number(int64_t value);
void print_number(uint8_t value);
void print_number(uint16_t value);
void print_number(uint32_t value);
void print_number(uint64_t value);
void print_number(float value);
void print_number(double value);
void print_number(long double value);

// PRINT USING: place one value into format from position on, appending to
// output; return where the next value continues (0: the start). A string
// value is placed by format_using itself (value null: an empty string).
// Every one does nothing and returns 0 while an error is pending.
int32_t format_using(BasicString* format, int32_t position, BasicString* output, BasicString* value);
int32_t format_using_integer(BasicString* format, int64_t value, int32_t position, BasicString* output);
int32_t format_using_unsigned(BasicString* format, uint64_t value, int32_t position, BasicString* output);
int32_t format_using_single(BasicString* format, float value, int32_t position, BasicString* output);
int32_t format_using_double(BasicString* format, double value, int32_t position, BasicString* output);
int32_t format_using_extended(BasicString* format, long double value, int32_t position,
                              BasicString* output);

// The end of a PRINT USING statement (after its last value): prints output
// and ends the line. When placing a value raised an error, the text so far
// is printed without ending the line and the error stays pending.
void print_using_line(BasicString* output);
