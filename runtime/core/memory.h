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

// The conventional data area: conventional strings, their 4-byte
// descriptors, and the default segment of PEEK and POKE.
constexpr uint32_t CONVENTIONAL_DATA_AREA = 0x500;
constexpr uint32_t CONVENTIONAL_DATA_SIZE = 65536;
constexpr uint32_t CONVENTIONAL_DATA_RESERVED = 8;  // left zero at its top
inline uint8_t* conventional_data_area() { return ConventionalMemory + CONVENTIONAL_DATA_AREA; }

// Conventional blocks are carved from the top of this range downwards.
constexpr uint32_t CONVENTIONAL_BLOCKS_BOTTOM = 0x10500;
constexpr uint32_t CONVENTIONAL_BLOCKS_TOP = 0xA0000;
constexpr uint32_t CONVENTIONAL_BLOCK_NODES = 147136;

// ---- Static pool: variables never move and are never freed one by one.
constexpr size_t STATIC_POOL_FIRST_BLOCK = 1048576;
void* allocate_static(size_t size);
void release_static_to(void* mark);

// ---- Conventional blocks (16-byte aligned, first fit from the top).
uint8_t* allocate_conventional_block(uint32_t size);
void free_conventional_block(void* pointer);

// ---- DEF SEG, PEEK and POKE.
extern uint32_t segment_base;  // offset into ConventionalMemory
void def_seg(int32_t segment, int32_t present);
int32_t peek(int32_t offset);
void poke(int32_t offset, int32_t value);

// ---- GOSUB return points. There is always room for the next push.
extern int32_t* return_stack;
extern int32_t return_stack_count;
extern int32_t return_stack_capacity;
void grow_return_stack();
inline void gosub_push(int32_t return_point) {
    return_stack[return_stack_count++] = return_point;
    if (return_stack_count + 1 >= return_stack_capacity) grow_return_stack();
}
// The return point to continue at, or -1 after raising error 3. A caller
// that does not know the number it got calls return_without_gosub().
int32_t gosub_pop();
void return_without_gosub();

// ---- Handle lists: numbered fixed-size records that never move.
struct HandleList {
    int32_t record_size;
    int32_t stride;                 // record size + the trailing handle word
    uint8_t* block;                 // current storage block
    int32_t block_used;             // records used in it
    int32_t block_capacity;         // position 0 of a block is never used
    int32_t* freed;                 // stack of freed handles
    int32_t freed_count;
    int32_t freed_capacity;
    uint8_t* blocks[63];            // every storage block; blocks[0] is a dummy
    int32_t block_count;
    uint8_t** table;                // handle -> record address
    int32_t highest;
    int32_t table_capacity;
    void (*on_release)(void* record);  // frees what a record owns, or null
};

HandleList* handle_list_new(int32_t record_size);
int32_t handle_list_acquire(HandleList* list);
int32_t handle_list_release(HandleList* list, int32_t handle);
void* handle_list_get(HandleList* list, int32_t handle);
int32_t handle_list_handle_of(HandleList* list, const void* record);

// The three lists made at start-up.
struct SpecialHandle {
    int32_t kind;  // 1 a stream (network connection), 2 a host
    void* target;
};
// The network subsystem defines the records of its two lists; they must
// fit in this many bytes.
constexpr int32_t NETWORK_RECORD_SIZE = 64;
extern HandleList* special_handles;
extern HandleList* network_blocks;       // owned memory blocks
extern HandleList* network_connections;
