#include "runtime/core/clock.h"

#include "platform/clock.h"
#include "runtime/core/memory.h"

std::atomic<uint32_t> time_base_ms{0};
std::atomic<uint32_t> start_of_day_ms{0};

static std::atomic<ClockSource> clock_source{nullptr};

void set_clock_source(ClockSource source) { clock_source.store(source); }

int64_t clock_ms() {
    if (ClockSource source = clock_source.load(std::memory_order_relaxed)) return source();
    return platform_monotonic_ms();
}

void take_time_base() {
    int64_t seconds = platform_calendar_seconds();
    if (seconds != -1) {
        // Busy-wait for the next second so the base falls on a boundary.
        for (int64_t first = seconds; seconds == first;) seconds = platform_calendar_seconds();
    }
    time_base_ms = uint32_t(clock_ms());
    PlatformLocalTime local;
    if (seconds != -1 && platform_local_time(seconds, &local))
        start_of_day_ms = uint32_t((local.second + local.hour * 3600 + local.minute * 60) * 1000);
    else
        start_of_day_ms = 0;
}

uint32_t ms_since_midnight() {
    uint32_t elapsed = uint32_t(clock_ms()) - time_base_ms.load();
    return (start_of_day_ms.load() + elapsed) % 86400000u;
}

uint32_t bios_ticks_of(uint32_t ms_of_day) { return uint32_t(double(ms_of_day) * 0.0182); }

void update_bios_tick_count() {
    uint32_t ticks = bios_ticks_of(ms_since_midnight());
    bios_byte(0x46C).store(uint8_t(ticks), std::memory_order_relaxed);
    bios_byte(0x46D).store(uint8_t(ticks >> 8), std::memory_order_relaxed);
    bios_byte(0x46E).store(uint8_t(ticks >> 16), std::memory_order_relaxed);
}
