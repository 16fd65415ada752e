// BASIC strings: descriptors, the two string pools and the temporaries.
//
// A temporary argument is consumed by every operation (freed, returned as
// the result, or left for the statement's string_cleanup); a permanent
// argument is never changed. Results are new temporaries or arguments
// returned as they are.
#pragma once
#include <cstddef>
#include <cstdint>

struct BasicString {
    uint8_t* chars;                           // not terminated; any byte value
    int32_t length;
    uint8_t in_conventional;                  // text in the conventional pool
    uint8_t* conventional_descriptor;         // its 4-byte DOS descriptor, or null
    uint16_t conventional_descriptor_offset;  // that descriptor's offset in the area
    int32_t pool_slot;                        // index in its pool's list
    uint8_t is_temporary;
    int32_t temporary_slot;                   // index in the temporary list, 0: none
    uint8_t is_fixed_length;                  // over storage it does not own
    uint8_t is_read_only;                     // constant text: never written or freed
    void* field_binding;                      // file record buffer binding, or null
};

constexpr int32_t STRING_SLACK = 32;

// A pool's list holds its live strings in address order; holes are this.
inline BasicString* const STRING_HOLE = reinterpret_cast<BasicString*>(intptr_t(-1));

struct StringPool {
    uint8_t* data;           // start of the data area
    uint32_t size;           // main pool: block size (the conventional limit is the descriptor stack)
    uint32_t used;           // where the next string's bytes go
    BasicString** list;
    int32_t list_count;      // next free index
    int32_t list_last;       // last index the list has room for
};

extern StringPool main_string_pool;
extern StringPool conventional_string_pool;
// Region offset of the lowest 4-byte descriptor handed out; grows down.
extern uint32_t conventional_descriptor_stack;

// The temporary list. Entry 0 is never used; the top is one past the
// highest live temporary. Translated code reads the top as its mark.
extern BasicString** string_temporary_list;
extern int32_t string_temporary_top;
extern int32_t string_temporary_last;

inline int32_t string_mark() { return string_temporary_top; }

// The permanent strings of start-up.
extern BasicString* empty_string;         // the shared empty string
extern BasicString* space_string;         // " "
extern BasicString* opcode_message;       // "Unknown Opcode (  )"
extern BasicString* command_line_string;  // COMMAND$

BasicString* string_new(int32_t length, int32_t temporary);
BasicString* string_new_conventional(int32_t length, int32_t temporary);
BasicString* string_new_fixed(void* address, int32_t length, int32_t temporary);
BasicString* string_literal(const void* text, int32_t length);
BasicString* string_literal_z(const char* text);
BasicString* string_make_temporary(BasicString* s);
void string_free(BasicString* s);
int32_t string_cleanup(int32_t mark, int32_t pass_through);
BasicString* string_assign(BasicString* destination, BasicString* source);
BasicString* string_concat(BasicString* a, BasicString* b);

// The file subsystem detaches a freed string from its record buffer here.
extern void (*string_field_detach_hook)(BasicString* s);

// COMMAND$: a new temporary copy of the command line string.
BasicString* basic_command();

// A new temporary holding a copy of the bytes.
BasicString* string_from_bytes(const void* bytes, int32_t length);

// Puts the store back to its load-time state. Tests may shrink the main
// pool and the lists to reach compaction and growth quickly.
constexpr size_t STRING_MAIN_POOL_START = 1048576;
constexpr int32_t STRING_LIST_START_LAST = 65535;
void string_store_reset(size_t main_pool_size = STRING_MAIN_POOL_START,
                        int32_t list_last = STRING_LIST_START_LAST);
