#include "core_fixture.h"

#include <cstdio>

BoxRecord last_box;
MessageBoxAnswer next_answer = MessageBoxAnswer::yes;

MessageBoxAnswer recording_box(const char* text, const char* caption, MessageBoxButtons buttons) {
    last_box.text = text;
    last_box.caption = caption;
    last_box.buttons = buttons;
    ++last_box.count;
    std::fprintf(stderr, "[%s|%s|%s]\n", caption, text, buttons == MessageBoxButtons::ok ? "OK" : "YESNO");
    return buttons == MessageBoxButtons::ok ? MessageBoxAnswer::ok : next_answer;
}

static void reset_words() {
    check_pending = 0;
    pending_error = 0;
    pause_flags = 0;
    stop_requested = 0;
    program_ended = 0;
    exit_request = 0;
    exit_handled_by_program = 0;
    parked_threads = 0;
    error_line = 0;
    retry_statement = 0;
}

void CoreTest::SetUp() {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    reset_words();
    last_box = {};
    next_answer = MessageBoxAnswer::yes;
    platform_set_message_box_hook(recording_box);
}

void CoreTest::TearDown() {
    reset_words();
    platform_set_message_box_hook(nullptr);
}
