// Text output on SCREEN 12 against the cost of writing the page's 307,200
// bytes once: a full screen of text should stay within 5 times a memcpy of
// the page, a one-row scroll within 1.5 times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/screen/text.h"

namespace {

void screen12() {
    static bool started = false;
    if (!started) {
        started = true;
        font_metrics_startup();
        image_table_startup();
        screen_startup();
        set_screen_mode(12, 0, 0, 0, 0, 1);
        set_colour(7, 0, 0, 3);
    }
}

void BM_PageMemcpy(benchmark::State& state) {
    std::vector<uint8_t> from(307200, 7), to(307200);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PageMemcpy);

void BM_PrintFullScreen(benchmark::State& state) {
    screen12();
    std::string line;
    for (int i = 0; i < 80; ++i) line += char('!' + i % 90);
    for (auto _ : state) {
        for (int32_t row = 1; row <= 30; ++row) {
            set_cursor(row, 1, 0, 0, 0, 3);
            print_bytes(reinterpret_cast<const uint8_t*>(line.data()), line.size(), 0);
        }
        benchmark::DoNotOptimize(write_image->pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PrintFullScreen);

void BM_ScrollOneRow(benchmark::State& state) {
    screen12();
    for (auto _ : state) {
        set_cursor(29, 1, 0, 0, 0, 3);
        new_line();
        benchmark::DoNotOptimize(write_image->pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScrollOneRow);

}  // namespace
