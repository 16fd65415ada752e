// What the translator emits around every statement, and short forms of the
// statements the game uses. Each helper that takes a line is one whole
// statement: its action, the release of its temporaries, and the hook.
#pragma once
#include <cstdint>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/values/basic_string.h"
#include "runtime/values/statement_tail.h"

namespace basic {

// The end of a statement: temporaries down to the mark go, and the hook
// runs when something is pending. True when the statement must run again.
inline bool statement_end(uint32_t line, int32_t mark) {
    statement_tail(mark, line);
    return retry_statement.load(std::memory_order_relaxed) == 1;
}

// A statement: the action runs unless an error is pending.
template <class Action>
inline void statement(uint32_t line, Action action) {
    const int32_t mark = string_mark();
    do {
        if (!pending_error.load(std::memory_order_relaxed)) action();
    } while (statement_end(line, mark));
}

// The test of an IF, LOOP WHILE/UNTIL or CASE: evaluated, then the end of
// the statement, then branched on.
template <class Test>
inline bool condition(uint32_t line, Test test) {
    const int32_t mark = string_mark();
    bool result;
    do {
        result = test();
    } while (statement_end(line, mark));
    return result;
}

inline BasicString* literal(const char* text) { return string_literal_z(text); }

// BASIC truth values.
inline int32_t truth(bool b) { return b ? -1 : 0; }

}  // namespace basic
