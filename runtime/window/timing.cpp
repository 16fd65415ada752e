#include "runtime/window/timing.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/sleep.h"
#include "runtime/core/clock.h"
#include "runtime/core/errors.h"
#include "runtime/core/state.h"

static std::atomic<WaitFunction> wait_function{nullptr};

void set_wait_function(WaitFunction wait) { wait_function = wait; }

void wait_ms(uint32_t ms) {
    if (WaitFunction f = wait_function.load(std::memory_order_relaxed)) return f(ms);
    platform_sleep_ms(ms);
}

// Rounds s to a multiple of step; halves go to even as the FPU does.
static double round_to_step(double s, double step) {
    double per = 1.0 / step;
    return std::nearbyint(s * per) / per;
}

float basic_timer() {
    if (pending_error.load()) return 0;
    return float(round_to_step(ms_since_midnight() / 1000.0, 1.0 / 18.2));
}

double basic_timer(double accuracy) {
    if (pending_error.load()) return 0;
    if (!(accuracy > 0)) {
        raise_error(5);
        return 0;
    }
    return round_to_step(ms_since_midnight() / 1000.0, accuracy);
}

static double rate_last = 0;  // clock_ms of the last pass let through; 0 before the first

void limit_rate_reset() { rate_last = 0; }

void limit_rate(double r) {
    if (pending_error.load()) return;
    if (!(r > 0) || 1000.0 / r > 60000.0) return raise_error(5);
    double period = 1000.0 / r;
    for (;;) {
        double now = double(clock_ms());
        if (rate_last == 0 || rate_last > now) {
            rate_last = now;
            return;
        }
        double elapsed = now - rate_last;
        if (elapsed >= period) {
            rate_last = elapsed <= period + 16 ? rate_last + period : now;
            return;
        }
        double wait = std::max(1.0, std::trunc(period - elapsed));
        if (wait <= 9) {
            wait_ms(uint32_t(wait));
            rate_last += period;
            return;
        }
        wait_ms(9);
        statement_hook(0);
    }
}

void delay(double seconds) {
    if (pending_error.load()) return;
    if (!(seconds >= 0 && seconds <= 2147483.647)) return raise_error(5);
    int64_t start = clock_ms(), last = start;
    double total = seconds * 1000.0;
    for (;;) {
        int64_t now = clock_ms();
        if (now < last) start -= last - now;  // the clock went back: keep what was waited
        last = now;
        double left = total - double(now - start);
        if (left <= 0) return;
        if (left <= 9) {
            wait_ms(uint32_t(std::max(1.0, std::trunc(left))));
            return;
        }
        wait_ms(9);
        statement_hook(0);
    }
}
