#include <gtest/gtest.h>

#include "runtime/core/clock.h"
#include "runtime/core/memory.h"

namespace {

int64_t fake_now = 0;
int64_t fake_clock() { return fake_now; }

class Clock : public ::testing::Test {
protected:
    void SetUp() override { set_clock_source(fake_clock); }
    void TearDown() override { set_clock_source(nullptr); }
};

TEST_F(Clock, TicksAreMillisecondsTimesPoint0182Truncated) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 0}, {54, 0}, {55, 1}, {1000, 18}, {3600000, 65520}, {86399999, 1572479},
    };
    for (const auto& [ms, ticks] : cases) EXPECT_EQ(bios_ticks_of(ms), ticks) << ms;
}

TEST_F(Clock, TimeOfDayWrapsAtMidnight) {
    fake_now = 5000;
    time_base_ms = 5000;
    start_of_day_ms = 86399000;
    EXPECT_EQ(ms_since_midnight(), 86399000u);
    fake_now = 5999;
    EXPECT_EQ(ms_since_midnight(), 86399999u);
    fake_now = 6000;
    EXPECT_EQ(ms_since_midnight(), 0u);
    fake_now = 7000;
    EXPECT_EQ(ms_since_midnight(), 1000u);
}

TEST_F(Clock, TickCountGoesToTheBiosDataAreaLowThreeBytes) {
    ConventionalMemory[0x46F] = 0xAB;
    fake_now = 0;
    time_base_ms = 0;
    start_of_day_ms = 86399000;  // 1,572,461 ticks = 0x17FE6D
    update_bios_tick_count();
    EXPECT_EQ(ConventionalMemory[0x46C], 0x6D);
    EXPECT_EQ(ConventionalMemory[0x46D], 0xFE);
    EXPECT_EQ(ConventionalMemory[0x46E], 0x17);
    EXPECT_EQ(ConventionalMemory[0x46F], 0xAB) << "the fourth byte is not written";
    fake_now = 1000;  // midnight passed
    update_bios_tick_count();
    EXPECT_EQ(ConventionalMemory[0x46C], 0);
    EXPECT_EQ(ConventionalMemory[0x46D], 0);
    EXPECT_EQ(ConventionalMemory[0x46E], 0);
}

TEST(TimeBase, FallsOnASecondBoundaryWithinASecond) {
    take_time_base();
    EXPECT_LT(start_of_day_ms.load(), 86400000u);
    EXPECT_EQ(start_of_day_ms.load() % 1000, 0u);
}

}  // namespace
