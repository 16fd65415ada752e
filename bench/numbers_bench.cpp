// STR$ of a double and PRINT USING of the countdown format, each beside the
// C library's formatted printing of the same values.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "runtime/core/startup_hooks.h"
#include "runtime/values/basic_string.h"
#include "runtime/values/number_text.h"
#include "runtime/values/numbers.h"

namespace {

const std::vector<double>& sample_doubles() {
    static const std::vector<double> values = [] {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> mantissa(-1, 1);
        std::uniform_int_distribution<int> exponent(-20, 20);
        std::vector<double> v(1024);
        for (double& x : v) x = mantissa(random) * std::pow(10.0, exponent(random));
        return v;
    }();
    return values;
}

void ensure_string_store() {
    static bool ready = [] {
        memory_startup();
        strings_startup();
        return true;
    }();
    (void)ready;
}

void BM_StrDoubleText(benchmark::State& state) {
    const auto& values = sample_doubles();
    char text[NUMBER_TEXT_MAX];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(double_text(values[i++ & 1023], text));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StrDoubleText);

// STR$ as the program calls it: a temporary, released by the statement.
void BM_StrDouble(benchmark::State& state) {
    ensure_string_store();
    const auto& values = sample_doubles();
    int32_t mark = string_mark();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(number_to_text(values[i++ & 1023]));
        string_cleanup(mark, 0);
    }
}
BENCHMARK(BM_StrDouble);

void BM_SnprintfDouble15g(benchmark::State& state) {
    const auto& values = sample_doubles();
    char text[40];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15g", values[i++ & 1023]));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SnprintfDouble15g);

// The game's countdown: minutes and seconds as singles in " ###:##.###".
void BM_PrintUsingCountdown(benchmark::State& state) {
    ensure_string_store();
    BasicString* format = string_new(0, 0);
    string_assign(format, string_literal_z(" ###:##.###"));
    BasicString* output = string_new(0, 0);
    int32_t mark = string_mark();
    float seconds = 0;
    for (auto _ : state) {
        string_assign(output, empty_string ? empty_string : string_new(0, 1));
        int32_t position = format_using_single(format, 9, 0, output);
        format_using_single(format, seconds, position, output);
        benchmark::DoNotOptimize(output->chars);
        string_cleanup(mark, 0);
        seconds = seconds < 59 ? seconds + 0.033f : 0;
    }
    string_free(output);
    string_free(format);
}
BENCHMARK(BM_PrintUsingCountdown);

void BM_SnprintfCountdown(benchmark::State& state) {
    char text[40];
    float seconds = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(text, sizeof text, " %3d:%6.3f", 9, static_cast<double>(seconds)));
        benchmark::ClobberMemory();
        seconds = seconds < 59 ? seconds + 0.033f : 0;
    }
}
BENCHMARK(BM_SnprintfCountdown);

}  // namespace
