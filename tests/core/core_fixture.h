// Resets the shared words between tests and answers message boxes.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/message_box.h"
#include "runtime/core/errors.h"
#include "runtime/core/state.h"

struct BoxRecord {
    std::string text, caption;
    MessageBoxButtons buttons;
    int count = 0;
};

extern BoxRecord last_box;
extern MessageBoxAnswer next_answer;

// Records the box and prints it to stderr, where death tests can match it.
MessageBoxAnswer recording_box(const char* text, const char* caption, MessageBoxButtons buttons);

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
