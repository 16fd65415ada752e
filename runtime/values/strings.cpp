// The string store: descriptors, the main and conventional pools, the
// temporary list, and the operations every translated statement uses.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/core/errors.h"
#include "runtime/core/memory.h"
#include "runtime/core/program.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/values/basic_string.h"

StringPool main_string_pool;
StringPool conventional_string_pool;
uint32_t conventional_descriptor_stack = CONVENTIONAL_DATA_SIZE;

BasicString** string_temporary_list = nullptr;
int32_t string_temporary_top = 1;
int32_t string_temporary_last = 0;

BasicString* empty_string = nullptr;
BasicString* space_string = nullptr;
BasicString* opcode_message = nullptr;
BasicString* command_line_string = nullptr;

namespace {

constexpr int32_t DESCRIPTOR_BLOCK = 65536;
constexpr uint32_t CONVENTIONAL_POOL_START = 256;

// ---- Descriptor store: blocks that are never returned, plus a recycle stack.
std::vector<BasicString*>& descriptor_blocks = *new std::vector<BasicString*>;  // never destroyed
BasicString* descriptor_block = nullptr;
int32_t descriptor_block_used = DESCRIPTOR_BLOCK;
BasicString** recycled = nullptr;
int32_t recycled_count = 0;
int32_t recycled_capacity = 0;
BasicString failed_descriptor;  // handed out only after a critical error

BasicString* new_descriptor() {
    if (recycled_count > 0) {
        BasicString* s = recycled[--recycled_count];
        *s = BasicString{};
        return s;
    }
    if (descriptor_block_used == DESCRIPTOR_BLOCK) {
        auto* block = static_cast<BasicString*>(std::calloc(DESCRIPTOR_BLOCK, sizeof(BasicString)));
        if (!block) {
            raise_error(257);
            failed_descriptor = BasicString{};
            return &failed_descriptor;
        }
        descriptor_blocks.push_back(block);
        descriptor_block = block;
        descriptor_block_used = 0;
    }
    return &descriptor_block[descriptor_block_used++];
}

// Doubles an array of pointers to (last + 1) * 2 entries; false on failure.
bool grow_list(BasicString**& list, int32_t& last) {
    int64_t new_last = 2 * static_cast<int64_t>(last);
    if (new_last + 1 > INT32_MAX) return false;
    auto* grown = static_cast<BasicString**>(
        std::realloc(list, static_cast<size_t>(new_last + 1) * sizeof(BasicString*)));
    if (!grown) return false;
    list = grown;
    last = static_cast<int32_t>(new_last);
    return true;
}

void release_descriptor(BasicString* s) {
    if (s == &failed_descriptor) return;
    if (recycled_count == recycled_capacity) {
        int32_t last = recycled_capacity - 1;
        if (!grow_list(recycled, last)) {
            raise_error(508);
            return;
        }
        recycled_capacity = last + 1;
    }
    recycled[recycled_count++] = s;
}

// ---- Temporary list.

void enter_temporary(BasicString* s) {
    if (string_temporary_top > string_temporary_last &&
        !grow_list(string_temporary_list, string_temporary_last)) {
        raise_error(511);
        return;
    }
    string_temporary_list[string_temporary_top] = s;
    s->temporary_slot = string_temporary_top++;
    s->is_temporary = 1;
}

void lower_temporary_top() {
    while (string_temporary_list[string_temporary_top - 1] == STRING_HOLE) --string_temporary_top;
}

// ---- Pools.

uint8_t* area() { return conventional_data_area(); }

StringPool& pool_of(const BasicString* s) {
    return s->in_conventional ? conventional_string_pool : main_string_pool;
}

size_t pool_limit(const StringPool& pool) {
    return &pool == &conventional_string_pool ? conventional_descriptor_stack : pool.size;
}

bool listed(const StringPool& pool, const BasicString* s) {
    return s->pool_slot >= 0 && s->pool_slot < pool.list_count && pool.list[s->pool_slot] == s;
}

void write_dos_descriptor(const BasicString* s) {
    uint8_t* d = s->conventional_descriptor;
    if (!d) return;
    auto length = static_cast<uint16_t>(s->length);
    auto offset = static_cast<uint16_t>(s->chars - area());
    d[0] = static_cast<uint8_t>(length);
    d[1] = static_cast<uint8_t>(length >> 8);
    d[2] = static_cast<uint8_t>(offset);
    d[3] = static_cast<uint8_t>(offset >> 8);
}

// Hands out a 4-byte descriptor from the top of the conventional data area.
void take_dos_descriptor(BasicString* s, int32_t critical) {
    if (conventional_descriptor_stack < 4) {
        raise_error(critical);
        return;
    }
    conventional_descriptor_stack -= 4;
    s->conventional_descriptor = area() + conventional_descriptor_stack;
    s->conventional_descriptor_offset = static_cast<uint16_t>(conventional_descriptor_stack);
    write_dos_descriptor(s);
    if (conventional_descriptor_stack < conventional_string_pool.used) raise_error(critical);
}

// Squeezes out the holes; grows the list when it is still half full.
void tidy_pool_list(StringPool& pool, int32_t critical) {
    int32_t live = 0;
    for (int32_t i = 0; i < pool.list_count; ++i) {
        BasicString* s = pool.list[i];
        if (s == STRING_HOLE) continue;
        pool.list[live] = s;
        s->pool_slot = live++;
    }
    pool.list_count = live;
    if (live < pool.list_last / 2) return;
    if (!grow_list(pool.list, pool.list_last)) raise_error(critical);
}

void append_to_pool(StringPool& pool, BasicString* s, int32_t critical) {
    if (pool.list_count > pool.list_last) tidy_pool_list(pool, critical);
    if (pool.list_count > pool.list_last) return;  // only after a critical error
    s->pool_slot = pool.list_count;
    pool.list[pool.list_count++] = s;
}

void compact_main_pool(size_t wanted) {
    StringPool& pool = main_string_pool;
    uint8_t* packing = pool.data;
    for (int32_t i = 0; i < pool.list_count; ++i) {
        BasicString* s = pool.list[i];
        if (s == STRING_HOLE) continue;
        // Strings close to their packed place stay, which keeps their slack.
        if (s->chars - packing > STRING_SLACK) {
            std::memmove(packing, s->chars, s->length);
            s->chars = packing;
        }
        packing = s->chars + s->length;
        pool.used = packing - pool.data;
    }
    if (wanted + 2 * pool.used + STRING_SLACK < pool.size) return;

    size_t new_size = wanted + 2 * pool.size;
    auto old_data = reinterpret_cast<uintptr_t>(pool.data);
    auto* data = static_cast<uint8_t*>(std::realloc(pool.data, new_size));
    if (!data) {
        raise_error(512);
        return;
    }
    pool.data = data;
    pool.size = new_size;
    for (int32_t i = 0; i < pool.list_count; ++i) {
        BasicString* s = pool.list[i];
        if (s != STRING_HOLE) s->chars = data + (reinterpret_cast<uintptr_t>(s->chars) - old_data);
    }
}

void compact_conventional_pool(size_t wanted) {
    StringPool& pool = conventional_string_pool;
    uint32_t packing = CONVENTIONAL_POOL_START;
    for (int32_t i = 0; i < pool.list_count; ++i) {
        BasicString* s = pool.list[i];
        if (s == STRING_HOLE) continue;
        if (s->chars != area() + packing) {
            std::memmove(area() + packing, s->chars, s->length);
            s->chars = area() + packing;
            write_dos_descriptor(s);
        }
        packing += s->length;
    }
    pool.used = packing;
    if (pool.used + wanted > conventional_descriptor_stack) raise_error(513);
}

void make_room(StringPool& pool, size_t wanted) {
    if (&pool == &main_string_pool)
        compact_main_pool(wanted);
    else
        compact_conventional_pool(wanted);
}

int32_t list_critical(const StringPool& pool) {
    return &pool == &main_string_pool ? 510 : 509;
}

void remove_from_pool(BasicString* s) {
    StringPool& pool = pool_of(s);
    if (!listed(pool, s)) return;
    pool.list[s->pool_slot] = STRING_HOLE;
    if (&pool == &conventional_string_pool) {
        if (s->pool_slot == pool.list_count - 1) --pool.list_count;
        return;
    }
    while (pool.list_count > 0 && pool.list[pool.list_count - 1] == STRING_HOLE) --pool.list_count;
    if (pool.list_count == 0) {
        pool.used = 0;
        return;
    }
    const BasicString* last = pool.list[pool.list_count - 1];
    size_t end = static_cast<size_t>(last->chars - pool.data) + last->length + STRING_SLACK;
    pool.used = end < pool.size ? end : pool.size;
}

int32_t clamp_length(int32_t length) { return length < 0 ? 0 : length; }

bool is_pool_string(const BasicString* s) { return !s->is_fixed_length && !s->is_read_only; }

// Gives destination the bytes of source where it lies in its pool, moving
// it to the end of the pool when the neighbours leave no room.
void grow_into(BasicString* d, const BasicString* s) {
    StringPool& pool = pool_of(d);
    const size_t start = d->chars - pool.data;
    const size_t end = start + s->length;
    const int32_t slot = d->pool_slot;
    bool in_place = false;
    bool sets_used = false;

    if (!listed(pool, d)) {
        // Not where the pool expects it: relocate.
    } else if (slot == pool.list_count - 1) {
        in_place = sets_used = end <= pool_limit(pool);
    } else {
        const BasicString* next = nullptr;
        for (int32_t i = slot + 1; i < pool.list_count && !next; ++i) {
            const BasicString* e = pool.list[i];
            if (e != STRING_HOLE && !(e == s && s->is_temporary)) next = e;
        }
        if (next) {
            in_place = next->chars >= d->chars + s->length;
        } else {
            pool.list_count = slot + 1;
            in_place = sets_used = end <= pool_limit(pool);
        }
    }
    if (in_place) {
        std::memmove(d->chars, s->chars, s->length);
        d->length = s->length;
        if (sets_used) pool.used = end;
        return;
    }
    if (listed(pool, d)) pool.list[slot] = STRING_HOLE;
    if (pool.used + s->length > pool_limit(pool)) make_room(pool, s->length);
    append_to_pool(pool, d, list_critical(pool));
    d->chars = pool.data + pool.used;
    pool.used += s->length;
    std::memcpy(d->chars, s->chars, s->length);  // s may have moved in the compaction
    d->length = s->length;
}

}  // namespace

// ------------------------------------------------------------------ creation

BasicString* string_new(int32_t length, int32_t temporary) {
    length = clamp_length(length);
    StringPool& pool = main_string_pool;
    const size_t reserve = static_cast<size_t>(length) + STRING_SLACK;
    if (pool.used + reserve > pool.size) compact_main_pool(reserve);
    BasicString* s = new_descriptor();
    s->length = length;
    s->chars = pool.data + pool.used;
    pool.used += reserve;
    append_to_pool(pool, s, 510);
    if (temporary) enter_temporary(s);
    return s;
}

BasicString* string_new_conventional(int32_t length, int32_t temporary) {
    length = clamp_length(length);
    StringPool& pool = conventional_string_pool;
    if (pool.used + static_cast<size_t>(length) > conventional_descriptor_stack)
        compact_conventional_pool(length);
    BasicString* s = new_descriptor();
    s->length = length;
    s->chars = area() + pool.used;
    pool.used += length;
    s->in_conventional = 1;
    append_to_pool(pool, s, 509);
    if (temporary)
        enter_temporary(s);
    else
        take_dos_descriptor(s, 514);
    return s;
}

BasicString* string_new_fixed(void* address, int32_t length, int32_t temporary) {
    BasicString* s = new_descriptor();
    s->chars = static_cast<uint8_t*>(address);
    s->length = clamp_length(length);
    s->is_fixed_length = 1;
    if (temporary) {
        enter_temporary(s);
    } else if (s->chars > area() && s->chars < area() + CONVENTIONAL_DATA_SIZE) {
        take_dos_descriptor(s, 515);
    }
    return s;
}

BasicString* string_literal(const void* text, int32_t length) {
    BasicString* s = new_descriptor();
    s->chars = static_cast<uint8_t*>(const_cast<void*>(text));
    s->length = text ? clamp_length(length) : 0;
    s->is_read_only = 1;
    enter_temporary(s);
    return s;
}

BasicString* string_literal_z(const char* text) {
    return string_literal(text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
}

BasicString* string_make_temporary(BasicString* s) {
    if (s && !s->is_temporary) enter_temporary(s);
    return s;
}

BasicString* string_from_bytes(const void* bytes, int32_t length) {
    BasicString* s = string_new(length, 1);
    if (s->length) std::memcpy(s->chars, bytes, s->length);
    return s;
}

BasicString* basic_command() {
    if (!command_line_string) return string_new(0, 1);
    return string_from_bytes(command_line_string->chars, command_line_string->length);
}

// ------------------------------------------------------------------ release

void (*string_field_detach_hook)(BasicString* s) = nullptr;

void string_free(BasicString* s) {
    if (!s || s == &failed_descriptor) return;
    if (s->field_binding && string_field_detach_hook) string_field_detach_hook(s);
    if (s->temporary_slot) {
        string_temporary_list[s->temporary_slot] = STRING_HOLE;
        lower_temporary_top();
    }
    if (is_pool_string(s)) remove_from_pool(s);
    release_descriptor(s);
}

int32_t string_cleanup(int32_t mark, int32_t pass_through) {
    if (mark < 1) mark = 1;
    while (string_temporary_top > mark) {
        BasicString* s = string_temporary_list[--string_temporary_top];
        if (s != STRING_HOLE) string_free(s);
    }
    return pass_through;
}

// --------------------------------------------------------------- assignment

BasicString* string_assign(BasicString* d, BasicString* s) {
    if (!d || !s) {
        if (s && s->is_temporary) string_free(s);
        return d;
    }
    if (d == s) return d;
    if (d->is_fixed_length) {
        int32_t n = s->length < d->length ? s->length : d->length;
        std::memmove(d->chars, s->chars, n);
        if (n < d->length) std::memset(d->chars + n, ' ', d->length - n);
    } else if (d->is_read_only) {
        // Constant text is never written.
    } else if (s->is_temporary && is_pool_string(s) && s->in_conventional == d->in_conventional &&
               listed(pool_of(s), s)) {
        // Take-over: d adopts the temporary's bytes and its place in the pool.
        StringPool& pool = pool_of(d);
        if (listed(pool, d)) pool.list[d->pool_slot] = STRING_HOLE;
        d->pool_slot = s->pool_slot;
        pool.list[d->pool_slot] = d;
        if (s->temporary_slot) {
            string_temporary_list[s->temporary_slot] = STRING_HOLE;
            if (s->temporary_slot == string_temporary_top - 1) --string_temporary_top;
        }
        d->chars = s->chars;
        d->length = s->length;
        release_descriptor(s);
        write_dos_descriptor(d);
        return d;
    } else if (s->length <= d->length) {
        std::memmove(d->chars, s->chars, s->length);
        d->length = s->length;
    } else {
        grow_into(d, s);
    }
    if (s->is_temporary) string_free(s);
    write_dos_descriptor(d);
    return d;
}

BasicString* string_concat(BasicString* a, BasicString* b) {
    if (b->length == 0) return a;
    if (a->length == 0) return b;
    int64_t total = static_cast<int64_t>(a->length) + b->length;
    BasicString* r;
    if (total > INT32_MAX) {
        raise_error(14);
        r = string_new(0, 1);
    } else {
        r = string_new(static_cast<int32_t>(total), 1);
        // Read the operands only now: making r may have compacted the pool.
        std::memcpy(r->chars, a->chars, a->length);
        std::memcpy(r->chars + a->length, b->chars, b->length);
    }
    if (b->is_temporary) string_free(b);
    if (a->is_temporary && a != b) string_free(a);
    return r;
}

// ---------------------------------------------------------------- lifecycle

void string_store_reset(size_t main_pool_size, int32_t list_last) {
    if (list_last < 1) list_last = 1;
    std::free(recycled);
    recycled_capacity = DESCRIPTOR_BLOCK;
    recycled = static_cast<BasicString**>(std::malloc(recycled_capacity * sizeof(BasicString*)));
    recycled_count = 0;

    for (BasicString* block : descriptor_blocks) std::free(block);
    descriptor_blocks.clear();
    descriptor_block_used = DESCRIPTOR_BLOCK;
    new_descriptor();  // the first block exists from the start
    descriptor_block_used = 0;

    auto reset_list = [list_last](BasicString**& list, int32_t& last) {
        std::free(list);
        last = list_last;
        list = static_cast<BasicString**>(std::calloc(list_last + 1, sizeof(BasicString*)));
    };
    std::free(main_string_pool.data);
    main_string_pool.data = static_cast<uint8_t*>(std::malloc(main_pool_size));
    main_string_pool.size = main_pool_size;
    main_string_pool.used = 0;
    main_string_pool.list_count = 0;
    reset_list(main_string_pool.list, main_string_pool.list_last);

    conventional_string_pool.data = area();
    conventional_string_pool.size = CONVENTIONAL_DATA_SIZE;
    conventional_string_pool.used = CONVENTIONAL_POOL_START;
    conventional_string_pool.list_count = 0;
    reset_list(conventional_string_pool.list, conventional_string_pool.list_last);
    conventional_descriptor_stack = CONVENTIONAL_DATA_SIZE;

    reset_list(string_temporary_list, string_temporary_last);
    string_temporary_top = 1;
    empty_string = space_string = opcode_message = command_line_string = nullptr;
}

namespace {
// The store exists from program load on.
struct StoreAtLoad {
    StoreAtLoad() { string_store_reset(); }
} store_at_load;

BasicString* permanent_conventional(const char* text) {
    auto length = static_cast<int32_t>(std::strlen(text));
    BasicString* s = string_new_conventional(length, 0);
    std::memcpy(s->chars, text, length);
    return s;
}
}  // namespace

void strings_startup() {
    // The top of the conventional data area is reserved (left zero).
    conventional_descriptor_stack = CONVENTIONAL_DATA_SIZE - CONVENTIONAL_DATA_RESERVED;
    empty_string = permanent_conventional("");
    space_string = permanent_conventional(" ");
    opcode_message = permanent_conventional("Unknown Opcode (  )");
    const std::string& line = command_line_text();
    command_line_string = string_new(static_cast<int32_t>(line.size()), 0);
    std::memcpy(command_line_string->chars, line.data(), line.size());
}
