#include "platform/sleep.h"

#include <sched.h>
#include <time.h>

void platform_sleep_ms(uint32_t ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

void platform_yield() { sched_yield(); }
