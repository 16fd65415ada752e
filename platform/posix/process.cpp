#include "platform/process.h"

#include <unistd.h>

#include <cstdio>

size_t platform_program_path(char* buffer, size_t capacity) {
    if (capacity == 0) return 0;
    ssize_t n = readlink("/proc/self/exe", buffer, capacity - 1);
    if (n <= 0) {
        buffer[0] = 0;
        return 0;
    }
    buffer[n] = 0;
    return size_t(n);
}

bool platform_change_directory(const char* path) { return chdir(path) == 0; }

void platform_exit(int code) {
    fflush(stdout);
    fflush(stderr);
    _exit(code);
}
