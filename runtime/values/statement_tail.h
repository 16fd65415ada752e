// What a translated statement does after its action: release its
// temporaries, then let the statement hook run if anything is pending.
//
//     int32_t mark = string_mark();            // on procedure entry
//     ...
//     statement_tail(mark, 120);               // after each statement
//     if (statement_value(mark, 120, string_equal(a, b))) ...  // conditions
#pragma once
#include <cstdint>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/values/basic_string.h"

inline void statement_tail(int32_t mark, uint32_t line) {
    string_cleanup(mark, 0);
    if (check_pending.load(std::memory_order_relaxed)) statement_hook(line);
}

// The same for a statement whose condition was computed from temporaries:
// they are freed first and the value is handed back for the test.
inline int32_t statement_value(int32_t mark, uint32_t line, int32_t value) {
    statement_tail(mark, line);
    return value;
}
