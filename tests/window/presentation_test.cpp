#include <gtest/gtest.h>

#include <thread>

#include "runtime/window/frame.h"
#include "tests/screen/fixture.h"

namespace {

class Presentation : public ::testing::Test {
protected:
    void SetUp() override { frame_ring_reset(); }
    void TearDown() override {
        frame_ring_reset();
        auto_display = 1;
        frame_pause = 0;
    }
    static const FrameSlot& newest() { return frame_ring[frame_newest.load()]; }
};

TEST_F(Presentation, DisplayNowBuildsTheDisplayImageAtOnceWhenAutomaticDisplayIsOff) {
    struct Case {
        int32_t mode, width, height;
    };
    for (Case c : {Case{0, 640, 400}, Case{12, 640, 480}, Case{13, 320, 200}, Case{9, 640, 350}}) {
        fresh_screen(c.mode);
        frame_ring_reset();
        auto_display = 0;
        display_now();
        ASSERT_NE(frame_newest.load(), 0) << c.mode;
        EXPECT_EQ(newest().width, c.width) << c.mode;
        EXPECT_EQ(newest().height, c.height) << c.mode;
        EXPECT_EQ(auto_display.load(), 0);
    }
}

TEST_F(Presentation, TextOnThePageReachesTheFrame) {
    fresh_screen(0);
    print_item("X");
    auto_display = 0;
    display_now();
    // The glyph's ink is light grey on black somewhere in the first cell.
    bool ink = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) ink |= (newest().pixels[y * 640 + x] & 0xFFFFFF) != 0;
    EXPECT_TRUE(ink);
}

TEST_F(Presentation, DisplayNowWithAutomaticDisplayWaitsForTheBuilder) {
    fresh_screen(0);
    auto_display = 1;
    std::thread builder([] {
        while (auto_display.load() != -1) std::this_thread::yield();
        build_frame();
    });
    display_now();
    builder.join();
    EXPECT_EQ(auto_display.load(), 0);
    EXPECT_NE(frame_newest.load(), 0);
    set_auto_display();
    EXPECT_EQ(auto_display.load(), 1);
}

TEST_F(Presentation, PausedBuilderAnswersAndBuildsNothing) {
    fresh_screen(0);
    frame_pause = 1;
    build_frame();
    EXPECT_EQ(frame_pause.load(), 2);
    EXPECT_EQ(frame_newest.load(), 0);
    frame_pause = 0;
    build_frame();
    EXPECT_NE(frame_newest.load(), 0);
}

}  // namespace
