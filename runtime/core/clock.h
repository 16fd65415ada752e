// The runtime's one clock and the time base that anchors it to local time.
#pragma once
#include <atomic>
#include <cstdint>

// Milliseconds since start (64-bit).
int64_t clock_ms();

extern std::atomic<uint32_t> time_base_ms;     // clock_ms at the start-up second boundary
extern std::atomic<uint32_t> start_of_day_ms;  // ms since local midnight at that boundary

// Takes the time base on a second boundary (start-up step 15).
void take_time_base();

// Milliseconds since midnight now, wrapped at 86,400,000.
uint32_t ms_since_midnight();

// BIOS ticks for a time of day: ms × 0.0182, truncated.
uint32_t bios_ticks_of(uint32_t ms_of_day);

// Stores the low three bytes of the tick count at 0x46C (housekeeping).
void update_bios_tick_count();

// Tests drive time by hand: while a source is set, clock_ms returns it.
using ClockSource = int64_t (*)();
void set_clock_source(ClockSource source);
