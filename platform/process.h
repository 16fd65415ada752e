// The running process: its file, its directory and its end.
#pragma once
#include <cstddef>

// Writes the full path of the program file, zero-terminated, into buffer.
// Returns its length, or 0 when it cannot be had.
size_t platform_program_path(char* buffer, size_t capacity);

// Makes path the current directory; false on failure.
bool platform_change_directory(const char* path);

// Ends the process at once with the exit code (no static destructors).
[[noreturn]] void platform_exit(int code);
