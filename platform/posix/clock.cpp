#include "platform/clock.h"

#include <ctime>

static int64_t monotonic_now_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Anchored at first use, which start-up makes early.
static const int64_t process_start_ms = monotonic_now_ms();

int64_t platform_monotonic_ms() { return monotonic_now_ms() - process_start_ms; }

int64_t platform_calendar_seconds() {
    time_t now = time(nullptr);
    return now == time_t(-1) ? -1 : int64_t(now);
}

bool platform_local_time(int64_t seconds, PlatformLocalTime* out) {
    time_t t = time_t(seconds);
    tm parts;
    if (!localtime_r(&t, &parts)) return false;
    *out = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour, parts.tm_min, parts.tm_sec};
    return true;
}
