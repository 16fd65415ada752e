// A fresh string store, conventional memory and error state per test.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include <cstdio>

#include "platform/message_box.h"
#include "runtime/core/memory.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/values/basic_string.h"

inline std::string text_of(const BasicString* s) {
    return std::string(reinterpret_cast<const char*>(s->chars), s->length);
}

// A permanent variable holding text.
inline BasicString* variable(const std::string& text) {
    BasicString* v = string_new(0, 0);
    return string_assign(v, string_literal(text.data(), static_cast<int32_t>(text.size())));
}

inline BasicString* literal(const char* text) { return string_literal_z(text); }

// A temporary copy of text (a computed result).
inline BasicString* temporary(const std::string& text) {
    return string_from_bytes(text.data(), static_cast<int32_t>(text.size()));
}

// For death tests: the box's caption goes to stderr instead of a window.
inline MessageBoxAnswer caption_to_stderr(const char*, const char* caption, MessageBoxButtons) {
    std::fprintf(stderr, "%s\n", caption);
    return MessageBoxAnswer::ok;
}

// Runs statement where a critical error must end the process with the caption.
#define EXPECT_CRITICAL(statement, caption)                                   \
    EXPECT_EXIT((platform_set_message_box_hook(caption_to_stderr), statement), \
                ::testing::ExitedWithCode(0), caption)

class Store : public ::testing::Test {
protected:
    void SetUp() override {
        string_store_reset();
        memory_startup();
        strings_startup();
        pending_error = 0;
        check_pending = 0;
        mark = string_mark();
    }
    void TearDown() override { pending_error = 0; check_pending = 0; }
    int32_t mark = 1;
};
