// The process's standard output, for the console image.
#pragma once
#include <cstddef>

void platform_write_standard_output(const void* bytes, size_t length);
void platform_flush_standard_output();
