// Clocks: a monotonic millisecond count and the local calendar.
#pragma once
#include <cstdint>

// Milliseconds since the first call in this process (monotonic).
int64_t platform_monotonic_ms();

// Calendar time in whole seconds, or -1 when the system has no clock.
int64_t platform_calendar_seconds();

struct PlatformLocalTime {
    int year, month, day;       // month 1..12
    int hour, minute, second;
};

// Local time of a calendar second; false when it cannot be had.
bool platform_local_time(int64_t seconds, PlatformLocalTime* out);
