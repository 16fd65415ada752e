#include "platform/standard_output.h"

#include <cstdio>

void platform_write_standard_output(const void* bytes, size_t length) {
    std::fwrite(bytes, 1, length, stdout);
}

void platform_flush_standard_output() { std::fflush(stdout); }
