// Lock records and array creation.
#include "runtime/values/arrays.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/core/memory.h"

uint64_t lock_id_counter = LOCK_ID_START;
LockRecord* current_lock_record = nullptr;

namespace {

constexpr size_t LOCK_STACK_START = 1000;

// Blocks stay allocated for the life of the process: records never move.
std::vector<LockRecord*>& lock_blocks = *new std::vector<LockRecord*>;  // never destroyed
LockRecord* lock_block = nullptr;
int32_t lock_block_used = LOCK_BLOCK_RECORDS;
LockRecord** lock_stack = nullptr;
size_t lock_stack_count = 0;
size_t lock_stack_capacity = 0;

void new_lock_block() {
    lock_block = static_cast<LockRecord*>(std::calloc(LOCK_BLOCK_RECORDS, sizeof(LockRecord)));
    if (!lock_block) {
        raise_error(257);
        return;
    }
    lock_blocks.push_back(lock_block);
    lock_block_used = 0;
}

LockRecord failed_lock;  // handed out only after a critical error

}  // namespace

void lock_store_reset() {
    for (LockRecord* block : lock_blocks) std::free(block);
    lock_blocks.clear();
    new_lock_block();
    std::free(lock_stack);
    lock_stack_capacity = LOCK_STACK_START;
    lock_stack = static_cast<LockRecord**>(std::malloc(lock_stack_capacity * sizeof(LockRecord*)));
    lock_stack_count = 0;
    lock_id_counter = LOCK_ID_START;
    current_lock_record = nullptr;
}

namespace {
struct LocksAtLoad {
    LocksAtLoad() { lock_store_reset(); }
} locks_at_load;
}  // namespace

LockRecord* new_lock_record(uint64_t* id) {
    LockRecord* record;
    if (lock_stack_count > 0) {
        record = lock_stack[--lock_stack_count];
    } else {
        if (lock_block_used == LOCK_BLOCK_RECORDS) new_lock_block();
        record = lock_block ? &lock_block[lock_block_used++] : &failed_lock;
    }
    *record = LockRecord{++lock_id_counter, 0, nullptr};
    current_lock_record = record;
    if (id) *id = record->id;
    return record;
}

void release_lock_record(LockRecord* record) {
    if (!record || record == &failed_lock) return;
    record->id = 0;
    if (record->type == LOCK_OWNS_STORAGE) {
        std::free(record->storage);
        record->storage = nullptr;
    }
    if (lock_stack_count == lock_stack_capacity) {
        auto* grown = static_cast<LockRecord**>(
            std::realloc(lock_stack, 2 * lock_stack_capacity * sizeof(LockRecord*)));
        if (!grown) {
            raise_error(257);
            return;
        }
        lock_stack = grown;
        lock_stack_capacity *= 2;
    }
    lock_stack[lock_stack_count++] = record;
}

ArrayDescriptor* array_new(int32_t lower, int32_t upper, int32_t element_size) {
    auto* a = static_cast<ArrayDescriptor*>(allocate_static(sizeof(ArrayDescriptor)));
    if (!a) return nullptr;
    std::memset(a, 0, sizeof *a);
    a->lock = new_lock_record();
    a->lock->type = LOCK_ARRAY;
    a->lower_bound = lower;
    a->multiplier = 1;
    int64_t count = static_cast<int64_t>(upper) - lower + 1;
    if (count < 1) {
        raise_error(9);
        count = 0;
    } else if (element_size < 1 || count * element_size > INT32_MAX) {
        raise_error(7);
        count = 0;
    }
    a->count = static_cast<int32_t>(count);
    size_t bytes = static_cast<size_t>(count) * (element_size > 0 ? element_size : 1);
    a->data = allocate_static(bytes);
    if (a->data) std::memset(a->data, 0, bytes);
    a->flags = 3;
    return a;
}

ArrayDescriptor* string_array_new(int32_t lower, int32_t upper) {
    ArrayDescriptor* a = array_new(lower, upper, 8);
    if (!a) return nullptr;
    a->flags = 0;
    auto** slots = static_cast<BasicString**>(a->data);
    // Each 8-byte slot holds the element's own permanent string.
    for (int32_t k = a->count; k-- > 0;) slots[k] = string_new(0, 0);
    a->flags = 3;
    return a;
}

BasicString* string_array_element(const ArrayDescriptor* a, int64_t index) {
    if (a->count == 0) {
        raise_error(9);
        return empty_string;
    }
    return static_cast<BasicString**>(a->data)[array_offset(a, index)];
}
