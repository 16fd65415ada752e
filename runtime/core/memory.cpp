// Variable storage: the static pool, conventional memory and its blocks,
// DEF SEG / PEEK / POKE, the GOSUB stack and the handle lists.
#include "runtime/core/memory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "runtime/core/errors.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"

alignas(16) uint8_t ConventionalMemory[CONVENTIONAL_MEMORY_SIZE];

// ---------------------------------------------------------------- static pool

namespace {

struct StaticPool {
    uint8_t* base = nullptr;
    uint8_t* position = nullptr;
    uint8_t* end = nullptr;
    size_t block_size = 0;
    // Every block stays allocated; the list itself is never destroyed, so
    // the blocks stay reachable to the very end of the process.
    std::vector<uint8_t*>& blocks = *new std::vector<uint8_t*>;
};
StaticPool static_pool;

bool static_pool_new_block(size_t size) {
    auto* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!block) return false;
    static_pool.blocks.push_back(block);
    static_pool.base = static_pool.position = block;
    static_pool.end = block + size;
    static_pool.block_size = size;
    return true;
}

}  // namespace

void* allocate_static(size_t size) {
    uint8_t* start = static_pool.position;
    if (start && size < static_cast<size_t>(static_pool.end - start)) {
        static_pool.position = start + size;
        return start;
    }
    // Also when the request would end exactly at the end of the block.
    size_t grown = size + 2 * static_pool.block_size;
    if (grown < size || !static_pool_new_block(grown)) {
        raise_error(504);
        return nullptr;
    }
    static_pool.position += size;
    return static_pool.base;
}

void release_static_to(void* mark) {
    auto* p = static_cast<uint8_t*>(mark);
    if (p >= static_pool.base && p <= static_pool.end)
        static_pool.position = p;
    else
        static_pool.position = static_pool.base;
}

// --------------------------------------------------------- conventional blocks

namespace {

struct BlockNode {
    uint32_t start;
    uint32_t end;
    uint32_t size;
    uint32_t index;
    BlockNode* next;
};

BlockNode* block_nodes = nullptr;   // the fixed node table
uint32_t block_nodes_used = 0;      // never-used indices start here
std::vector<uint32_t>& freed_nodes = *new std::vector<uint32_t>;  // reused first
BlockNode* block_list = nullptr;    // descending addresses

void conventional_blocks_reset() {
    if (!block_nodes) block_nodes = new BlockNode[CONVENTIONAL_BLOCK_NODES];
    block_nodes_used = 0;
    freed_nodes.clear();
    block_list = nullptr;
}

}  // namespace

uint8_t* allocate_conventional_block(uint32_t size) {
    if (size > 65536) {
        raise_error(505);
        return nullptr;
    }
    if (size == 0) return ConventionalMemory + CONVENTIONAL_BLOCKS_TOP;
    if (!block_nodes) conventional_blocks_reset();
    size = (size + 15) & ~15u;

    uint32_t top = CONVENTIONAL_BLOCKS_TOP;
    BlockNode** link = &block_list;
    for (BlockNode* b = block_list; b; b = b->next) {
        if (size <= top - b->end) break;
        top = b->start;
        link = &b->next;
    }
    if (!*link && top - CONVENTIONAL_BLOCKS_BOTTOM < size) {
        raise_error(506);
        return nullptr;
    }
    uint32_t index;
    if (!freed_nodes.empty()) {
        index = freed_nodes.back();
        freed_nodes.pop_back();
    } else if (block_nodes_used < CONVENTIONAL_BLOCK_NODES) {
        index = block_nodes_used++;
    } else {
        raise_error(507);
        return nullptr;
    }
    BlockNode* node = &block_nodes[index];
    *node = BlockNode{top - size, top, size, index, *link};
    *link = node;
    return ConventionalMemory + node->start;
}

void free_conventional_block(void* pointer) {
    auto* p = static_cast<uint8_t*>(pointer);
    if (!p || p == ConventionalMemory + CONVENTIONAL_BLOCKS_TOP || !block_list) return;
    for (BlockNode** link = &block_list; *link; link = &(*link)->next) {
        BlockNode* b = *link;
        if (ConventionalMemory + b->start == p) {
            *link = b->next;
            freed_nodes.push_back(b->index);
            return;
        }
    }
}

// ------------------------------------------------------- DEF SEG, PEEK, POKE

uint32_t segment_base = CONVENTIONAL_DATA_AREA;

static bool in_word_range(int32_t v) { return v >= -65536 && v <= 65535; }

void def_seg(int32_t segment, int32_t present) {
    if (pending_error.load(std::memory_order_relaxed)) return;
    if (!present) {
        segment_base = CONVENTIONAL_DATA_AREA;
        return;
    }
    if (!in_word_range(segment)) {
        raise_error(6);
        return;
    }
    segment_base = (static_cast<uint32_t>(segment) & 0xFFFF) * 16;
}

int32_t peek(int32_t offset) {
    if (!in_word_range(offset)) {
        raise_error(6);
        return 0;
    }
    return ConventionalMemory[segment_base + (static_cast<uint32_t>(offset) & 0xFFFF)];
}

void poke(int32_t offset, int32_t value) {
    if (pending_error.load(std::memory_order_relaxed)) return;
    if (!in_word_range(offset)) {
        raise_error(6);
        return;
    }
    ConventionalMemory[segment_base + (static_cast<uint32_t>(offset) & 0xFFFF)] =
        static_cast<uint8_t>(value);
}

// ------------------------------------------------------------ GOSUB stack

constexpr int32_t RETURN_STACK_START = 16384;
int32_t* return_stack = static_cast<int32_t*>(std::malloc(RETURN_STACK_START * sizeof(int32_t)));
int32_t return_stack_count = 0;
int32_t return_stack_capacity = RETURN_STACK_START;

void grow_return_stack() {
    if (return_stack_capacity <= 0 || return_stack_capacity > INT32_MAX / 2) {
        raise_error(256);
        return;
    }
    auto* grown = static_cast<int32_t*>(
        std::realloc(return_stack, static_cast<size_t>(return_stack_capacity) * 8));
    if (!grown) {
        raise_error(256);
        return;
    }
    return_stack = grown;
    return_stack_capacity *= 2;
}

void return_without_gosub() { raise_error(3); }

int32_t gosub_pop() {
    if (return_stack_count <= 0) {
        return_without_gosub();
        return -1;
    }
    return return_stack[--return_stack_count];
}

// ------------------------------------------------------------- handle lists

namespace {

int32_t& trailing_word(const HandleList* list, uint8_t* record) {
    return *reinterpret_cast<int32_t*>(record + list->record_size);
}

template <typename T>
bool grow_to(T*& array, int32_t& capacity) {
    int64_t wanted = 2 * static_cast<int64_t>(capacity) + 1;
    if (wanted > INT32_MAX) return false;
    auto* grown = static_cast<T*>(std::realloc(array, static_cast<size_t>(wanted) * sizeof(T)));
    if (!grown) return false;
    array = grown;
    capacity = static_cast<int32_t>(wanted);
    return true;
}

}  // namespace

// Lists live until the process ends.
static std::vector<HandleList*>& all_handle_lists = *new std::vector<HandleList*>;

HandleList* handle_list_new(int32_t record_size) {
    if (record_size < 0) record_size = 0;
    auto* list = static_cast<HandleList*>(std::calloc(1, sizeof(HandleList)));
    if (!list) {
        raise_error(257);
        return nullptr;
    }
    all_handle_lists.push_back(list);
    // Records may hold pointers: pad each so that record plus trailing
    // word is a multiple of 8 bytes.
    list->record_size = ((record_size + 4 + 7) & ~7) - 4;
    list->stride = list->record_size + 4;
    list->blocks[0] = static_cast<uint8_t*>(std::malloc(1));
    list->block_count = 1;
    return list;
}

int32_t handle_list_acquire(HandleList* list) {
    if (!list) return 0;
    if (list->freed_count > 0) {
        int32_t handle = list->freed[--list->freed_count];
        uint8_t* record = list->table[handle];
        std::memset(record, 0, list->record_size);
        trailing_word(list, record) = handle;
        return handle;
    }
    if (list->block_used >= list->block_capacity) {
        int64_t records = 2 * static_cast<int64_t>(list->block_capacity) + 2;
        // 63 block pointers give room for about 2^63 records; a list that
        // somehow fills them is out of memory.
        if (list->block_count >= 63 || records * list->stride > INT32_MAX) {
            raise_error(257);
            return 0;
        }
        auto* block = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(records), list->stride));
        if (!block) {
            raise_error(257);
            return 0;
        }
        list->blocks[list->block_count++] = block;
        list->block = block;
        list->block_capacity = static_cast<int32_t>(records - 1);
        list->block_used = 0;
    }
    int32_t handle = list->highest + 1;
    while (handle >= list->table_capacity) {
        if (!grow_to(list->table, list->table_capacity)) {
            raise_error(257);
            return 0;
        }
    }
    list->highest = handle;
    uint8_t* record = list->block + static_cast<size_t>(++list->block_used) * list->stride;
    trailing_word(list, record) = handle;
    list->table[handle] = record;
    return handle;
}

int32_t handle_list_release(HandleList* list, int32_t handle) {
    if (!list || handle <= 0 || handle > list->highest) return 0;
    uint8_t* record = list->table[handle];
    if (trailing_word(list, record) == 0) return 0;
    if (list->freed_count >= list->freed_capacity && !grow_to(list->freed, list->freed_capacity)) {
        raise_error(257);
        return 0;
    }
    if (list->on_release) list->on_release(record);
    trailing_word(list, record) = 0;
    list->freed[list->freed_count++] = handle;
    return -1;
}

void* handle_list_get(HandleList* list, int32_t handle) {
    if (!list || handle <= 0 || handle > list->highest) return nullptr;
    uint8_t* record = list->table[handle];
    return trailing_word(list, record) ? record : nullptr;
}

int32_t handle_list_handle_of(HandleList* list, const void* record) {
    if (!list || !record) return 0;
    return trailing_word(list, static_cast<uint8_t*>(const_cast<void*>(record)));
}

HandleList* special_handles = nullptr;
HandleList* network_blocks = nullptr;
HandleList* network_connections = nullptr;

void handle_lists_startup() {
    special_handles = handle_list_new(sizeof(SpecialHandle));
    network_blocks = handle_list_new(NETWORK_RECORD_SIZE);
    network_connections = handle_list_new(NETWORK_RECORD_SIZE);
}

// ----------------------------------------------------------------- start-up

void memory_startup() {
    if (!static_pool_new_block(STATIC_POOL_FIRST_BLOCK)) raise_error(504);
    std::memset(ConventionalMemory, 0, sizeof ConventionalMemory);
    conventional_blocks_reset();
    segment_base = CONVENTIONAL_DATA_AREA;
}
