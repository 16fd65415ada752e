// Sleeping and yielding the processor.
#pragma once
#include <cstdint>

void platform_sleep_ms(uint32_t ms);
void platform_yield();
