#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"

namespace {

std::vector<std::pair<int32_t, int64_t>> dispatched;
void record_dispatch(int32_t handler, int64_t argument) { dispatched.push_back({handler, argument}); }

class Traps : public ::testing::Test {
protected:
    void SetUp() override {
        init_trap_tables();
        set_trap_dispatch(record_dispatch);
        dispatched.clear();
        check_pending = 0;
        sleep_wake = 0;
    }
    void TearDown() override {
        set_trap_dispatch(nullptr);
        TimerTrap& t = timer_traps[0];
        t.handler = 0;
        t.state = 0;
        t.pending = 0;
        t.last = 0;
        for (auto& k : key_traps) {
            k.handler = 0;
            k.state = 0;
            k.pending_count = 0;
        }
    }
};

TEST_F(Traps, FixedKeyCodes) {
    EXPECT_EQ(key_traps[1].key_code, 0x3B00);
    EXPECT_EQ(key_traps[10].key_code, 0x4400);
    EXPECT_EQ(key_traps[11].key_code, 0x4800);
    EXPECT_EQ(key_traps[11].second_key_code, 100264);
    EXPECT_EQ(key_traps[12].second_key_code, 100260);
    EXPECT_EQ(key_traps[13].second_key_code, 100262);
    EXPECT_EQ(key_traps[14].key_code, 0x5000);
    EXPECT_EQ(key_traps[14].second_key_code, 100258);
    EXPECT_EQ(key_traps[30].key_code, 0x8500);
    EXPECT_EQ(key_traps[31].key_code, 0x8600);
    EXPECT_EQ(timer_trap_count.load(), 1);
    EXPECT_EQ(timer_traps[0].in_use.load(), 1);
}

TEST_F(Traps, TimerFirstTickStartsTheClockThenFallsDueEachInterval) {
    TimerTrap& t = timer_traps[0];
    t.handler = 7;
    t.state = 1;
    t.interval = 1.0;
    advance_timer_traps(10.0);
    EXPECT_EQ(t.last, 10.0);
    EXPECT_EQ(t.pending.load(), 0);
    advance_timer_traps(10.5);
    EXPECT_EQ(t.pending.load(), 0);
    advance_timer_traps(11.01);
    EXPECT_EQ(t.pending.load(), 1);
    EXPECT_EQ(check_pending.load(), 1);
    EXPECT_DOUBLE_EQ(t.last, 11.0);

    check_events();
    ASSERT_EQ(dispatched.size(), 1u);
    EXPECT_EQ(dispatched[0].first, 7);
    EXPECT_EQ(t.pending.load(), 0);
    EXPECT_EQ(sleep_wake.load(), 1);

    advance_timer_traps(20.0);  // late: no burst of catch-up ticks
    EXPECT_DOUBLE_EQ(t.last, 20.0);
}

TEST_F(Traps, OnlyTrapsThatAreOnAreDispatched) {
    TimerTrap& t = timer_traps[0];
    t.handler = 3;
    t.state = 2;  // stopped: still falls due, never dispatched
    t.interval = 0.5;
    t.last = 1.0;
    advance_timer_traps(2.0);
    EXPECT_EQ(t.pending.load(), 1);
    check_events();
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(Traps, KeyTrapsDispatchOncePerPendingCount) {
    key_traps[2].handler = 12;
    key_traps[2].argument = 99;
    key_traps[2].state = 1;
    key_traps[2].pending_count = 2;
    key_traps[5].handler = 15;
    key_traps[5].state = 0;
    key_traps[5].pending_count = 1;
    check_events();
    ASSERT_EQ(dispatched.size(), 2u);
    EXPECT_EQ(dispatched[0], (std::pair<int32_t, int64_t>{12, 99}));
    EXPECT_EQ(key_traps[2].pending_count.load(), 0);
    EXPECT_EQ(key_traps[5].pending_count.load(), 1);
}

TEST_F(Traps, NothingIsDispatchedWhileAnErrorHandlerRuns) {
    key_traps[1].handler = 4;
    key_traps[1].state = 1;
    key_traps[1].pending_count = 1;
    error_handler_running = 1;
    check_events();
    error_handler_running = 0;
    EXPECT_TRUE(dispatched.empty());
    check_events();
    EXPECT_EQ(dispatched.size(), 1u);
}

}  // namespace
