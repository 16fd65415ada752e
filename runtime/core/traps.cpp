#include "runtime/core/traps.h"

#include <cmath>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"

TimerTrap timer_traps[TIMER_TRAP_CAPACITY];
std::atomic<int32_t> timer_trap_count{0};
KeyTrap key_traps[KEY_TRAP_COUNT];
DeviceButtonTrap device_button_traps[DEVICE_BUTTON_TRAP_COUNT];
DeviceRecord device_records[DEVICE_RECORD_COUNT];
int32_t device_count = 0;
int32_t button_dispatch = 0;
int32_t key_dispatch = 0;
std::atomic<int32_t> sleep_wake{0};

static TrapDispatch trap_dispatch = nullptr;

void set_trap_dispatch(TrapDispatch dispatch) { trap_dispatch = dispatch; }

static void dispatch(int32_t handler, int64_t argument) {
    if (trap_dispatch) trap_dispatch(handler, argument);
}

void init_trap_tables() {
    for (int n = 1; n <= 10; ++n) key_traps[n].key_code = 0x3B00 + (n - 1) * 0x100;
    key_traps[11].key_code = 0x4800;  // Up
    key_traps[12].key_code = 0x4B00;  // Left
    key_traps[13].key_code = 0x4D00;  // Right
    key_traps[14].key_code = 0x5000;  // Down
    key_traps[11].second_key_code = 100264;
    key_traps[12].second_key_code = 100260;
    key_traps[13].second_key_code = 100262;
    key_traps[14].second_key_code = 100258;
    key_traps[30].key_code = 0x8500;  // F11
    key_traps[31].key_code = 0x8600;  // F12

    TimerTrap& t = timer_traps[0];
    t.handler = 0;
    t.state = 0;
    t.pending = 0;
    t.in_use = 1;
    timer_trap_count = 1;
}

bool timer_traps_running() {
    int32_t count = timer_trap_count.load();
    for (int32_t i = 0; i < count; ++i) {
        const TimerTrap& t = timer_traps[i];
        if (t.in_use && t.handler && t.state) return true;
    }
    return false;
}

bool advance_timer_traps(double now) {
    int32_t count = timer_trap_count.load();
    for (int32_t i = 0; i < count; ++i) {
        TimerTrap& t = timer_traps[i];
        if (t.in_use && t.handler && t.state && !t.pending) {
            double interval = t.interval;
            if (now - t.last > interval) {
                if (t.last == 0) {
                    t.last = now;  // the first tick only starts the clock
                } else {
                    t.last += interval;
                    // A late tick does not cause a burst of catch-up ticks.
                    if (std::fabs(now - t.last) >= interval) t.last = now;
                    t.pending = 1;
                    check_pending = 1;
                }
            }
        }
        if (timer_pause.load() == 1) return true;
    }
    return false;
}

// Pass 1: controller buttons. Returns true when it dispatched one.
static bool dispatch_one_button() {
    int k = 0;
    for (int32_t device = 1; device <= device_count && device < DEVICE_RECORD_COUNT && k < 256; ++device) {
        if (device_records[device].kind != DEVICE_KIND_CONTROLLER) continue;
        for (int b = k * 256; b < k * 256 + 256; ++b) {
            DeviceButtonTrap& trap = device_button_traps[b];
            if (trap.handler && trap.state == 1 && trap.pending_count && button_dispatch == 0) {
                button_dispatch = 1;
                trap.pending_count.fetch_sub(1);
                dispatch(trap.handler, trap.argument);
                button_dispatch = 0;
                return true;
            }
        }
        ++k;
    }
    return false;
}

// Pass 2: keys.
static bool dispatch_one_key() {
    for (int n = 1; n < KEY_TRAP_COUNT; ++n) {
        KeyTrap& trap = key_traps[n];
        if (trap.handler && trap.state == 1 && trap.pending_count && key_dispatch == 0) {
            key_dispatch = 1;
            trap.pending_count.fetch_sub(1);
            dispatch(trap.handler, trap.argument);
            key_dispatch = 0;
            return true;
        }
    }
    return false;
}

void check_events() {
    if (error_handler_running) return;
    while (dispatch_one_button()) {
    }
    while (dispatch_one_key()) {
    }
    int32_t count = timer_trap_count.load();
    for (int32_t i = 0; i < count; ++i) {
        TimerTrap& t = timer_traps[i];
        if (t.in_use && t.handler && t.state == 1 && t.pending == 1) {
            t.pending = 2;
            dispatch(t.handler, t.argument);
            t.pending = 0;
            sleep_wake = 1;
        }
    }
}
