// The frame builder against a plain copy of the frame it writes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "runtime/screen/font.h"
#include "runtime/window/frame.h"

namespace {

std::vector<uint32_t> test_palette() {
    std::vector<uint32_t> p(256);
    for (uint32_t i = 0; i < 256; ++i) p[i] = 0xFF000000u | i * 0x010203u;
    return p;
}

// A copy of a frame of width × height pixels, source and target hot.
void BM_MemcpyOfFrame(benchmark::State& state) {
    size_t pixels = size_t(state.range(0) * state.range(1));
    std::vector<uint32_t> from(pixels, 0x11223344), to(pixels);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), pixels * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyOfFrame)->Args({640, 480})->Args({640, 400});

// Frames of a 640 × 480 page of bits-per-pixel colours; change alters the
// page or its palette before each frame.
template <class Change>
void palette_frames(benchmark::State& state, int32_t bits, Change change) {
    frame_ring_reset();
    std::vector<uint32_t> palette = test_palette();
    std::vector<uint8_t> pixels(640 * 480);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 7 % (1u << bits));
    FrameSource s{};
    s.mode = bits == 8 ? 13 : 12;
    s.width = 640;
    s.height = 480;
    s.bits_per_pixel = bits;
    s.pixels = pixels.data();
    s.palette = palette.data();
    for (auto _ : state) {
        change(pixels, palette);
        if (!build_frame_from(s)) state.SkipWithError("no frame built");
        supersede_older_frames();
    }
    frame_ring_reset();
}

// One pixel changed per frame.
void palette_page(benchmark::State& state, int32_t bits) {
    uint8_t mask = uint8_t((1u << bits) - 1);
    palette_frames(state, bits, [mask](std::vector<uint8_t>& pixels, std::vector<uint32_t>&) {
        pixels[320 * 640 + 320] = uint8_t(pixels[320 * 640 + 320] + 1) & mask;
    });
}
void BM_BuildFrame16ColourPage(benchmark::State& state) { palette_page(state, 4); }
void BM_BuildFrame256ColourPage(benchmark::State& state) { palette_page(state, 8); }
BENCHMARK(BM_BuildFrame16ColourPage);
BENCHMARK(BM_BuildFrame256ColourPage);

// The worst case: a palette change every frame, so every pixel is
// converted again.
void whole_page(benchmark::State& state, int32_t bits) {
    palette_frames(state, bits,
                   [](std::vector<uint8_t>&, std::vector<uint32_t>& palette) { palette[0] ^= 0x00010101; });
}
void BM_BuildFrame16ColourWholePage(benchmark::State& state) { whole_page(state, 4); }
void BM_BuildFrame256ColourWholePage(benchmark::State& state) { whole_page(state, 8); }
BENCHMARK(BM_BuildFrame16ColourWholePage);
BENCHMARK(BM_BuildFrame256ColourWholePage);

// An 80 × 25 text page in the 8×16 font with one cell changed per frame.
void BM_BuildFrameTextOneCell(benchmark::State& state) {
    frame_ring_reset();
    glyphs_startup();
    std::vector<uint32_t> palette = test_palette();
    std::vector<uint8_t> cells(80 * 25 * 2);
    for (size_t i = 0; i < cells.size(); i += 2) cells[i] = uint8_t('A' + i % 26), cells[i + 1] = 0x07;
    FrameSource s{};
    s.width = 80;
    s.height = 25;
    s.bits_per_pixel = 16;
    s.pixels = cells.data();
    s.palette = palette.data();
    s.glyphs = GLYPHS_8X16;
    s.glyph_bytes = 128;
    s.font_width = 8;
    s.font_height = 16;
    s.cursor_column = s.cursor_row = 1;
    build_frame_from(s);
    supersede_older_frames();
    for (auto _ : state) {
        cells[2 * (12 * 80 + 40)]++;
        if (!build_frame_from(s)) state.SkipWithError("no frame built");
        supersede_older_frames();
    }
    frame_ring_reset();
}
BENCHMARK(BM_BuildFrameTextOneCell);

}  // namespace

namespace {

// The same copy into five frame buffers in turn, as the builder writes
// while the ring keeps the four newest frames.
void BM_MemcpyIntoRotatingFrames(benchmark::State& state) {
    std::vector<uint32_t> from(640 * 480, 0x11223344);
    std::vector<std::vector<uint32_t>> to(5, std::vector<uint32_t>(640 * 480));
    size_t next = 0;
    for (auto _ : state) {
        std::memcpy(to[next].data(), from.data(), from.size() * 4);
        benchmark::DoNotOptimize(to[next].data());
        benchmark::ClobberMemory();
        next = (next + 1) % to.size();
    }
}
BENCHMARK(BM_MemcpyIntoRotatingFrames);

}  // namespace
