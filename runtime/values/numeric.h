// Rounding conversions and the elementary numeric functions.
#pragma once
#include <cstdint>

// Nearest integer, ties to even; no range check.
int32_t round_single_to_int32(float value);
int32_t round_double_to_int32(double value);
int64_t round_extended_to_int64(long double value);

// FIX: truncation towards zero.
double basic_fix(double value);
long double basic_fix_extended(long double value);

// EXP: error 6 and 0 above 88.02969 (single) or 709.782712893.
float basic_exp_single(float value);
double basic_exp(double value);
long double basic_exp_extended(long double value);

// LOG: error 5 and 0 for values <= 0.
double basic_log(double value);

// RND and RANDOMIZE.
constexpr uint32_t RND_INITIAL_SEED = 327680;
extern uint32_t rnd_seed;
float basic_rnd(float value, int32_t value_given);

enum class RandomizeForm : int32_t { with_value = 0, resetting = 1, prompt = 2 };
void basic_randomize(double value, RandomizeForm form);

// The form without a value asks through INPUT: the prompt is printed and a
// 16-bit integer read by whoever provides INPUT. Until set, the form
// without a value uses 0.
extern int32_t (*randomize_input_hook)(const char* prompt);
constexpr const char* RANDOMIZE_PROMPT = "Random-number seed (-32768 to 32767)? ";
