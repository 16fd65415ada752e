// TIMER, rate limiting and delays, all on clock_ms.
#pragma once
#include <cstdint>

// TIMER: time of day in seconds, in BIOS ticks (SINGLE).
float basic_timer();
// TIMER(accuracy): rounded to a multiple of accuracy; error 5 when it is
// 0 or less.
double basic_timer(double accuracy);

// Holds a loop to at most passes_per_second passes a second.
void limit_rate(double passes_per_second);
// Waits seconds, serving events meanwhile.
void delay(double seconds);

// The waits of the window subsystem sleep through this; tests that drive
// clock_ms by hand replace it so that a wait advances their clock.
using WaitFunction = void (*)(uint32_t ms);
void set_wait_function(WaitFunction wait);
void wait_ms(uint32_t ms);

// limit_rate's cadence back to its first call (tests).
void limit_rate_reset();
