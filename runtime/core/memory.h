// Variable storage and the emulated real-mode memory.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

constexpr size_t CONVENTIONAL_MEMORY_SIZE = 1114099;  // 0x10FFF3: FFFF:FFFF plus a dword

// Offset n is the real-mode linear address n. The BIOS data area is shared
// between threads: touch its bytes there through bios_byte / bios_word.
extern uint8_t ConventionalMemory[CONVENTIONAL_MEMORY_SIZE];

inline std::atomic_ref<uint8_t> bios_byte(uint32_t offset) {
    return std::atomic_ref<uint8_t>(ConventionalMemory[offset]);
}
// Little-endian on every machine this runs on; offsets are even.
inline std::atomic_ref<uint16_t> bios_word(uint32_t offset) {
    return std::atomic_ref<uint16_t>(*reinterpret_cast<uint16_t*>(&ConventionalMemory[offset]));
}
