#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/core/state.h"
#include "runtime/window/frame.h"

namespace {

constexpr uint32_t BLACK = 0xFF000000, GREY = 0xFFAAAAAA, BLUE = 0xFF0000AA, WHITE = 0xFFFFFFFF;
constexpr uint8_t BLOCK = 219, SPACE = 32;

// An 8×16 font whose block glyph is all ink and every other glyph empty.
std::vector<uint8_t> make_glyphs() {
    std::vector<uint8_t> g(256 * 128, 0);
    std::memset(&g[BLOCK * 128], 255, 128);
    return g;
}

class Frames : public ::testing::Test {
protected:
    std::vector<uint8_t> glyphs = make_glyphs();
    std::vector<uint8_t> cells;
    std::vector<uint8_t> indices;
    std::vector<uint32_t> palette = std::vector<uint32_t>(256, BLACK);

    void SetUp() override {
        frame_ring_reset();
        frame_counter = 0;
        palette[1] = BLUE;
        palette[7] = GREY;
        palette[15] = WHITE;
    }
    void TearDown() override { frame_ring_reset(); }

    FrameSource text(int columns, int rows) {
        if (cells.size() != size_t(columns * rows * 2)) {
            cells.assign(size_t(columns * rows * 2), 0);
            for (size_t i = 0; i < cells.size(); i += 2) cells[i] = SPACE, cells[i + 1] = 0x07;
        }
        FrameSource s{};
        s.mode = 0;
        s.width = columns;
        s.height = rows;
        s.bits_per_pixel = 16;
        s.pixels = cells.data();
        s.palette = palette.data();
        s.glyphs = glyphs.data();
        s.glyph_bytes = 128;
        s.font_width = 8;
        s.font_height = 16;
        s.cursor_column = 1;
        s.cursor_row = 1;
        s.cursor_start = 6;
        s.cursor_stop = 7;
        return s;
    }
    FrameSource graphics(int width, int height, int bits) {
        indices.assign(size_t(width * height), 0);
        FrameSource s{};
        s.mode = 12;
        s.width = width;
        s.height = height;
        s.bits_per_pixel = bits;
        s.pixels = indices.data();
        s.palette = palette.data();
        return s;
    }
    static const FrameSlot& newest() { return frame_ring[frame_newest.load()]; }
    static uint32_t pixel(int x, int y) { return newest().pixels[y * newest().width + x]; }
    // Builds until the reader has seen every frame, as the window would.
    static bool build_and_show(const FrameSource& s) {
        bool built = build_frame_from(s);
        supersede_older_frames();
        return built;
    }
    // Frames built over builder passes of an unchanged page.
    static int frames_in_passes(const FrameSource& s, int passes) {
        int built = 0;
        for (int pass = 0; pass < passes; ++pass) {
            built += build_and_show(s);
            frame_counter.fetch_add(1);
        }
        return built;
    }
};

TEST_F(Frames, FrameSizes) {
    ASSERT_TRUE(build_frame_from(text(80, 25)));
    EXPECT_EQ(newest().width, 640);
    EXPECT_EQ(newest().height, 400);
    EXPECT_EQ(newest().byte_size, 640 * 400 * 4);
    ASSERT_TRUE(build_frame_from(graphics(640, 480, 4)));
    EXPECT_EQ(newest().width, 640);
    EXPECT_EQ(newest().height, 480);
}

TEST_F(Frames, IdleTextPageGivesAFrameOnlyWhenTheBlinkPhaseChanges) {
    FrameSource s = text(80, 25);
    s.cursor_visible = 1;
    EXPECT_EQ(frames_in_passes(s, 32), 4);  // the first pass, then at counters 8, 16 and 24
}

TEST_F(Frames, BlinkPhaseAloneGivesNoFrameWhenNothingBlinks) {
    FrameSource s = text(80, 25);
    s.cursor_visible = 0;
    EXPECT_EQ(frames_in_passes(s, 32), 1);
    cells[100 * 2 + 1] = 0x87;  // a blinking cell: frames again, phase by phase
    EXPECT_TRUE(build_and_show(s));
    frame_counter.fetch_add(8);
    EXPECT_TRUE(build_and_show(s));
}

TEST_F(Frames, BlinkingAttributeShowsForegroundThenBackground) {
    FrameSource s = text(80, 25);
    s.cursor_visible = 0;
    cells[0] = BLOCK;
    cells[1] = 0x87;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(3, 3), GREY);
    frame_counter = 8;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(3, 3), BLACK);
    frame_counter = 16;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(3, 3), GREY);
}

TEST_F(Frames, CursorRowsTable) {
    struct Case {
        int start, stop, height, first, last;
    };
    const Case cases[] = {
        {6, 7, 16, 13, 14}, {0, 7, 16, 0, 15}, {0, 0, 16, 0, 0}, {3, 0, 16, 1, 0},
        {5, 2, 16, 2, 15},  {2, 2, 16, 2, 2},  {6, 6, 16, 14, 14}, {6, 6, 14, 13, 13},
        {1, 3, 16, 1, 3},   {0, 31, 8, 0, 7},  {2, 3, 16, 2, 3},   {2, 4, 16, 12, 14},
        {2, 9, 16, 2, 15},  {4, 6, 14, 11, 13}, {4, 12, 16, 8, 15}, {9, 9, 8, 7, 7},
        {20, 25, 16, 8, 15}, {16, 0, 16, 1, 0},
    };
    for (const Case& c : cases) {
        CursorRows r = cursor_rows(c.start, c.stop, c.height);
        bool none = c.first > c.last;
        if (none) EXPECT_GT(r.first, r.last) << c.start << "," << c.stop << " H" << c.height;
        else EXPECT_EQ((std::pair{r.first, r.last}), (std::pair{c.first, c.last}))
                << c.start << "," << c.stop << " H" << c.height;
    }
}

TEST_F(Frames, CursorBlinksInTheCellsForeground) {
    FrameSource s = text(80, 25);
    s.cursor_visible = 1;
    s.cursor_column = 3;
    s.cursor_row = 2;
    cells[(80 + 2) * 2 + 1] = 0x1F;  // white on blue
    ASSERT_TRUE(build_and_show(s));  // phase 0: no cursor
    EXPECT_EQ(pixel(16, 16 + 13), BLUE);
    frame_counter = 8;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(16, 16 + 12), BLUE);
    EXPECT_EQ(pixel(16, 16 + 13), WHITE);
    EXPECT_EQ(pixel(23, 16 + 14), WHITE);
    EXPECT_EQ(pixel(16, 16 + 15), BLUE);
    // Moving the cursor clears the old cell and shows the new one at once.
    s.cursor_column = 4;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(16, 16 + 13), BLUE);
    EXPECT_EQ(pixel(24, 16 + 13), GREY);
}

TEST_F(Frames, PendingNewlineShowsTheCursorOnTheNextRow) {
    FrameSource s = text(80, 25);
    s.cursor_visible = 1;
    s.cursor_column = 80;
    s.cursor_row = 3;
    s.pending_newline = 2;
    frame_counter = 8;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(0, 3 * 16 + 13), GREY);
    EXPECT_EQ(pixel(79 * 8, 2 * 16 + 13), BLACK);
}

TEST_F(Frames, ChangedCellsOverTheLastFrameEqualAFullBuild) {
    FrameSource s = text(40, 10);
    ASSERT_TRUE(build_and_show(s));
    cells[(3 * 40 + 5) * 2] = BLOCK;
    cells[(3 * 40 + 5) * 2 + 1] = 0x1F;
    ASSERT_TRUE(build_and_show(s));
    std::vector<uint32_t> incremental(newest().pixels, newest().pixels + newest().width * newest().height);
    frame_ring_reset();
    ASSERT_TRUE(build_and_show(s));
    std::vector<uint32_t> full(newest().pixels, newest().pixels + newest().width * newest().height);
    EXPECT_EQ(incremental, full);
    EXPECT_EQ(pixel(5 * 8, 3 * 16), WHITE);
}

TEST_F(Frames, PalettePageChangeTest) {
    FrameSource s = graphics(64, 8, 4);
    indices[5] = 15;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(5, 0), WHITE);
    EXPECT_EQ(pixel(6, 0), BLACK);
    EXPECT_FALSE(build_and_show(s));  // nothing changed
    indices[6] = 1;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(6, 0), BLUE);
    palette[15] = GREY;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(5, 0), GREY);
}

// Palette frames redraw only the rows a recycled buffer lacks: over many
// builds with random row changes, palette changes and text pages between,
// every frame equals a build from scratch.
TEST_F(Frames, RecycledPaletteFramesEqualAFullBuild) {
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int bits : {4, 8}) {
        FrameSource s = graphics(64, 32, bits);  // the size of the text page's frames
        uint32_t mask = (1u << bits) - 1;
        for (int step = 0; step < 300; ++step) {
            switch (next() % 8) {
                case 0: palette[next() & mask] = 0xFF000000u | next(); break;
                case 1: {
                    FrameSource t = text(8, 2);
                    cells[0] = cells[0] == 'A' ? 'B' : 'A';
                    ASSERT_TRUE(build_and_show(t)) << step;
                    continue;
                }
                default:
                    for (int k = int(next() % 5); k >= 0; --k) indices[next() % indices.size()] = uint8_t(next() & mask);
            }
            build_and_show(s);
            std::vector<uint32_t> built(newest().pixels, newest().pixels + newest().width * newest().height);
            for (size_t i = 0; i < indices.size(); ++i)
                ASSERT_EQ(built[i], palette[indices[i] & mask]) << "bits " << bits << " step " << step << " pixel " << i;
        }
    }
}

TEST_F(Frames, EightBitPageUsesTheWholePalette) {
    FrameSource s = graphics(20, 3, 8);
    palette[200] = 0xFF123456;
    indices[19] = 200;
    ASSERT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(19, 0), 0xFF123456u);
}

TEST_F(Frames, Mode10LevelsFollowTheClockPhase) {
    static const uint32_t levels[2][9] = {{0, 1, 2, 3, 4, 5, 6, 7, 8}, {10, 11, 12, 13, 14, 15, 16, 17, 18}};
    FrameSource s = graphics(8, 1, 2);
    s.mode = 10;
    s.mode10_levels = levels;
    palette[4 + 1] = 3;  // entry 1 shows pseudo-colour 3
    indices[0] = 1;
    ASSERT_TRUE(build_and_show(s));
    uint32_t shown = pixel(0, 0);
    EXPECT_TRUE(shown == 3 || shown == 13);
}

TEST_F(Frames, ThirtyTwoBitPagesGiveAFrameEveryCall) {
    std::vector<uint32_t> page(16 * 4, 0xFF102030);
    FrameSource s{};
    s.mode = 32;
    s.width = 16;
    s.height = 4;
    s.bits_per_pixel = 32;
    s.pixels = reinterpret_cast<const uint8_t*>(page.data());
    EXPECT_TRUE(build_and_show(s));
    EXPECT_TRUE(build_and_show(s));
    EXPECT_EQ(pixel(15, 3), 0xFF102030u);
}

TEST_F(Frames, FullRingSkipsUntilTheReaderCatchesUp) {
    std::vector<uint32_t> page(4 * 4, 0);
    FrameSource s{};
    s.mode = 32;
    s.width = s.height = 4;
    s.bits_per_pixel = 32;
    s.pixels = reinterpret_cast<const uint8_t*>(page.data());
    int built = 0;
    for (int i = 0; i < 100; ++i) built += build_frame_from(s);  // nobody reads
    EXPECT_EQ(built, FRAME_RING_SIZE);
    supersede_older_frames();
    EXPECT_TRUE(build_frame_from(s));
    // The reader keeps up from now on: buffers are recycled, the four
    // newest frames are always kept.
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(build_and_show(s));
    int held = 0;
    for (int slot = 1; slot <= FRAME_RING_SIZE; ++slot) held += frame_ring[slot].pixels != nullptr;
    EXPECT_GE(held, 4);
    EXPECT_LE(held, 6);
}

TEST_F(Frames, OccupiedSlotEndsTheProcessWith9090) {
    std::vector<uint32_t> page(4, 0);
    FrameSource s{};
    s.mode = 32;
    s.width = s.height = 2;
    s.bits_per_pixel = 32;
    s.pixels = reinterpret_cast<const uint8_t*>(page.data());
    ASSERT_TRUE(build_frame_from(s));
    frame_ring[next_frame_slot(frame_newest.load())].pixels = static_cast<uint32_t*>(std::malloc(16));
    EXPECT_EXIT(build_frame_from(s), ::testing::ExitedWithCode(9090 & 0xFF), "");
}

}  // namespace
