#include "runtime/core/memory.h"

alignas(16) uint8_t ConventionalMemory[CONVENTIONAL_MEMORY_SIZE];
