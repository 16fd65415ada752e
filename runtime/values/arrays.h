// Array descriptors, the index check and the lock records.
#pragma once
#include <cstdint>

#include "runtime/core/errors.h"
#include "runtime/values/basic_string.h"

struct LockRecord {
    uint64_t id;      // 0 once released
    int32_t type;     // LOCK_* below; set by the owner
    void* storage;    // type LOCK_OWNS_STORAGE: freed with the record
};

enum : int32_t {
    LOCK_MEMORY_BLOCK = 0,
    LOCK_OWNS_STORAGE = 1,
    LOCK_IMAGE = 2,
    LOCK_PROCEDURE = 3,
    LOCK_ARRAY = 4,
};

constexpr uint64_t LOCK_ID_START = 0x3FFFFFFF;  // the first id is one more
constexpr int32_t LOCK_BLOCK_RECORDS = 10000;
extern uint64_t lock_id_counter;
extern LockRecord* current_lock_record;

LockRecord* new_lock_record(uint64_t* id = nullptr);
void release_lock_record(LockRecord* record);

struct ArrayDescriptor {
    void* data;
    uint32_t unused1;
    int32_t flags;         // 3 once every element is set up
    uint32_t unused3;
    int32_t lower_bound;
    int32_t count;
    int32_t multiplier;
    uint32_t unused7;
    LockRecord* lock;
};

// The offset if 0 <= offset < count, else error 9 and 0.
inline int32_t check_index(int32_t offset, int32_t count) {
    if (static_cast<uint32_t>(offset) < static_cast<uint32_t>(count)) return offset;
    raise_error(9);
    return 0;
}

// A one-dimensional array lo TO hi from variable storage; string arrays
// hold a permanent empty string in every 8-byte slot.
ArrayDescriptor* array_new(int32_t lower, int32_t upper, int32_t element_size);
ArrayDescriptor* string_array_new(int32_t lower, int32_t upper);

// Element index of an array, checked (error 9 gives the first element).
inline int32_t array_offset(const ArrayDescriptor* a, int64_t index) {
    int64_t offset = index - a->lower_bound;
    // An index far outside must not wrap into range.
    if (offset < 0 || offset > INT32_MAX) offset = -1;
    return check_index(static_cast<int32_t>(offset), a->count);
}
BasicString* string_array_element(const ArrayDescriptor* a, int64_t index);

// Puts the lock store back to its load-time state (tests).
void lock_store_reset();
