#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "runtime/core/clock.h"
#include "runtime/core/state.h"
#include "runtime/window/timing.h"

namespace {

int64_t fake_now = 0;
int64_t fake_clock() { return fake_now; }
void fake_wait(uint32_t ms) { fake_now += ms; }

class Timing : public ::testing::Test {
protected:
    void SetUp() override {
        fake_now = 1000;
        set_clock_source(fake_clock);
        set_wait_function(fake_wait);
        time_base_ms = 1000;
        start_of_day_ms = 0;
        pending_error = 0;
        limit_rate_reset();
    }
    void TearDown() override {
        set_clock_source(nullptr);
        set_wait_function(nullptr);
        pending_error = 0;
    }
};

TEST_F(Timing, TimerRoundsToTicksAsSingle) {
    start_of_day_ms = 12 * 3600 * 1000;
    fake_now += 1000;  // 12:00:01
    float t = basic_timer();
    double ticks = 43201.0 * 18.2;
    EXPECT_EQ(t, float(std::nearbyint(ticks) / 18.2));
    EXPECT_NEAR(basic_timer(0.001), 43201.0, 1e-9);
}

TEST_F(Timing, TimerWithAccuracyMeasuresIntervals) {
    double a = basic_timer(0.001);
    fake_now += 1500;
    EXPECT_NEAR(basic_timer(0.001) - a, 1.5, 1e-9);
}

TEST_F(Timing, TimerStartsAgainAtMidnight) {
    start_of_day_ms = 86400000 - 1000;
    fake_now += 1250;
    EXPECT_NEAR(basic_timer(0.001), 0.25, 1e-9);
}

TEST_F(Timing, BadArgumentsRaiseError5) {
    for (double accuracy : {0.0, -1.0}) {
        pending_error = 0;
        EXPECT_EQ(basic_timer(accuracy), 0);
        EXPECT_EQ(pending_error.load(), 5);
    }
    for (double rate : {0.0, -30.0, 0.01}) {  // 0.01 a second: a period over 60 s
        pending_error = 0;
        limit_rate(rate);
        EXPECT_EQ(pending_error.load(), 5) << rate;
    }
    for (double seconds : {-0.5, 2147483.648}) {
        pending_error = 0;
        int64_t before = fake_now;
        delay(seconds);
        EXPECT_EQ(pending_error.load(), 5) << seconds;
        EXPECT_EQ(fake_now, before);
    }
}

TEST_F(Timing, LimitRateKeepsThirtyPassesASecond) {
    std::vector<int64_t> passes;
    for (int i = 0; i < 31; ++i) {
        limit_rate(30);
        passes.push_back(fake_now);
        fake_now += 2;  // the loop's own work
    }
    EXPECT_NEAR(double(passes.back() - passes.front()), 1000.0, 2.0);
    for (size_t i = 1; i < passes.size(); ++i) EXPECT_NEAR(double(passes[i] - passes[i - 1]), 33.3, 1.5);
}

TEST_F(Timing, LimitRateStartsANewCadenceAfterASlowPass) {
    limit_rate(30);
    fake_now += 100;  // one slow pass
    int64_t before = fake_now;
    limit_rate(30);
    EXPECT_EQ(fake_now, before);  // let through at once
    limit_rate(30);
    EXPECT_NEAR(double(fake_now - before), 33.3, 1.0);
}

TEST_F(Timing, LimitRateSurvivesAClockThatGoesBack) {
    limit_rate(30);
    fake_now -= 500;
    int64_t before = fake_now;
    limit_rate(30);
    EXPECT_EQ(fake_now, before);
}

TEST_F(Timing, DelayWaitsItsTime) {
    delay(0.25);
    EXPECT_EQ(fake_now, 1250);
    delay(0);
    EXPECT_EQ(fake_now, 1250);
}

}  // namespace
