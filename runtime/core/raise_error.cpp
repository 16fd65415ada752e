// raise_error and the critical errors that end the process at once.
#include <cstdio>

#include "platform/message_box.h"
#include "platform/process.h"
#include "runtime/core/errors.h"
#include "runtime/core/state.h"

namespace {

struct CriticalError {
    int32_t first, last;
    const char* text;
    const char* caption;  // null: "Critical Error #" and code - 500
};

constexpr CriticalError CRITICAL_ERRORS[] = {
    {11, 11, "Division by zero", "Critical Error"},
    {256, 256, "Out of stack space", "Critical Error"},
    {257, 257, "Out of memory", "Critical Error #1"},
    {259, 259, "Cannot find dynamic library file", "Critical Error"},
    {260, 261, "Sub/Function does not exist in dynamic library", "Critical Error"},
    {263, 263, "Paths/Filename illegal in VAPRO", "Critical Error"},
    {502, 518, "Out of memory", nullptr},
};

const CriticalError* critical_error(int32_t code) {
    for (const auto& e : CRITICAL_ERRORS)
        if (code >= e.first && code <= e.last) return &e;
    return nullptr;
}

}  // namespace

void raise_error(int32_t code) {
    if (const CriticalError* e = critical_error(code)) {
        char caption[32];
        if (e->caption)
            std::snprintf(caption, sizeof caption, "%s", e->caption);
        else
            std::snprintf(caption, sizeof caption, "Critical Error #%d", code - 500);
        platform_message_box(e->text, caption, MessageBoxButtons::ok);
        platform_exit(0);
    }
    // The first error of a statement wins.
    int32_t none = 0;
    if (code < 1) code = 5;
    if (pending_error.compare_exchange_strong(none, code)) check_pending = 1;
}

void arithmetic_fault_handler(int) { raise_error(11); }
