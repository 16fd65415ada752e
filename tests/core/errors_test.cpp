#include <atomic>
#include <thread>

#include "core_fixture.h"
#include "platform/sleep.h"
#include "runtime/core/program.h"

namespace {

using ::testing::ExitedWithCode;

class RaiseError : public CoreTest {};

TEST_F(RaiseError, CodesBelowOneBecomeIllegalFunctionCall) {
    for (int32_t code : {0, -3, -2147483647 - 1}) {
        pending_error = 0;
        check_pending = 0;
        raise_error(code);
        EXPECT_EQ(pending_error.load(), 5) << code;
        EXPECT_EQ(check_pending.load(), 1) << code;
    }
}

TEST_F(RaiseError, FirstErrorOfAStatementWins) {
    raise_error(6);
    raise_error(9);
    EXPECT_EQ(pending_error.load(), 6);
}

struct CriticalCase {
    int32_t code;
    const char* pattern;  // what the box shows, as the recording hook prints it
};

class CriticalErrors : public CoreTest, public ::testing::WithParamInterface<CriticalCase> {};

TEST_P(CriticalErrors, ShowTheirBoxAndExitWithZero) {
    EXPECT_EXIT(raise_error(GetParam().code), ExitedWithCode(0), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CriticalErrors,
    ::testing::Values(CriticalCase{11, "\\[Critical Error\\|Division by zero\\|OK\\]"},
                      CriticalCase{256, "\\[Critical Error\\|Out of stack space\\|OK\\]"},
                      CriticalCase{257, "\\[Critical Error #1\\|Out of memory\\|OK\\]"},
                      CriticalCase{260, "\\[Critical Error\\|Sub/Function does not exist in dynamic library\\|OK\\]"},
                      CriticalCase{263, "\\[Critical Error\\|Paths/Filename illegal in VAPRO\\|OK\\]"},
                      CriticalCase{502, "\\[Critical Error #2\\|Out of memory\\|OK\\]"},
                      CriticalCase{510, "\\[Critical Error #10\\|Out of memory\\|OK\\]"},
                      CriticalCase{518, "\\[Critical Error #18\\|Out of memory\\|OK\\]"}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST_F(RaiseError, CodesNextToTheCriticalRangesAreOrdinary) {
    for (int32_t code : {10, 12, 255, 258, 262, 264, 501, 519}) {
        pending_error = 0;
        raise_error(code);
        EXPECT_EQ(pending_error.load(), code);
    }
}

class ErrorDialog : public CoreTest {};

struct DialogCase {
    int32_t code;
    uint32_t line;
    const char* caption;
    const char* text;
    MessageBoxButtons buttons;
};

TEST_F(ErrorDialog, TextsAndCaptions) {
    const DialogCase cases[] = {
        {9, 120, "Unhandled Error #9", "Line:120\nSubscript out of range\nContinue?", MessageBoxButtons::yes_no},
        {5, 23, "Unhandled Error #5", "Line:23\nIllegal function call\nContinue?", MessageBoxButtons::yes_no},
        {15, 0, "Unhandled Error #15", "Line:0\nUnprintable error\nContinue?", MessageBoxButtons::yes_no},
        {76, 4294967295u, "Unhandled Error #76", "Line:4294967295\nPath not found\nContinue?",
         MessageBoxButtons::yes_no},
        {100000, 7, "Unhandled Error #100000", "Line:7\nUnprintable error\nContinue?", MessageBoxButtons::yes_no},
    };
    for (const auto& c : cases) {
        pending_error = 0;
        raise_error(c.code);
        statement_hook(c.line);
        EXPECT_EQ(last_box.caption, c.caption);
        EXPECT_EQ(last_box.text, c.text);
        EXPECT_EQ(last_box.buttons, c.buttons);
        EXPECT_EQ(pending_error.load(), 0) << "Yes lets the program go on";
        EXPECT_EQ(error_line.load(), c.line);
        EXPECT_EQ(basic_erl(), c.line);
    }
}

TEST_F(ErrorDialog, MemoryRegionErrorsAreCriticalWithOkOnly) {
    pending_error = 305;
    error_line = 12;
    EXPECT_EXIT(show_error_dialog(), ExitedWithCode(0),
                "\\[Critical Error #305\\|Line:12\nSource memory has been freed\\|OK\\]");
}

TEST_F(ErrorDialog, YesContinuesWithNothingPendingAndNoEventsDispatched) {
    raise_error(6);
    statement_hook(3);
    EXPECT_EQ(last_box.count, 1);
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(check_pending.load(), 0);
    EXPECT_EQ(program_ended.load(), 0);
}

TEST_F(ErrorDialog, NoEndsTheProgramAndParksTheThread) {
    next_answer = MessageBoxAnswer::no;
    raise_error(9);
    std::thread program([] { statement_hook(120); });
    program.detach();  // it parks for good
    for (int i = 0; i < 500 && !(parked_threads.load() & 1); ++i) platform_sleep_ms(2);
    EXPECT_EQ(program_ended.load(), 1);
    EXPECT_EQ(parked_threads.load() & 1, 1u);
}

TEST_F(ErrorDialog, UnknownOpcodeBoxExitsWith86) {
    EXPECT_EXIT(unknown_opcode_error(0xF4), ExitedWithCode(86), "\\[X86 Error\\|Unknown Opcode \\(F4\\)\\|OK\\]");
}

class StatementHook : public CoreTest {};

TEST_F(StatementHook, ClearsTheFlagsOnEntry) {
    check_pending = 1;
    retry_statement = 1;
    statement_hook(1);
    EXPECT_EQ(check_pending.load(), 0);
    EXPECT_EQ(retry_statement.load(), 0);
    EXPECT_EQ(last_box.count, 0);
}

TEST_F(StatementHook, HoldsWhilePausedThenReportsTheError) {
    pause_flags = 1;
    raise_error(9);
    std::atomic<int> returned{0};
    std::thread program([&] {
        statement_hook(77);
        returned = 1;
    });
    platform_sleep_ms(60);
    EXPECT_EQ(returned.load(), 0);
    EXPECT_EQ(last_box.count, 0) << "nothing is shown while paused";
    pause_flags = 0;
    program.join();
    EXPECT_EQ(last_box.caption, "Unhandled Error #9");
}

TEST_F(StatementHook, ParksWhenStopIsRequested) {
    pause_flags = 1;
    std::thread program([] { statement_hook(5); });
    program.detach();
    platform_sleep_ms(20);
    stop_requested = 1;
    for (int i = 0; i < 500 && !(parked_threads.load() & 1); ++i) platform_sleep_ms(2);
    EXPECT_EQ(parked_threads.load() & 1, 1u);
}

}  // namespace

namespace {

int module_entries = 0;
int32_t err_seen = 0;

void handler_module(void*) {
    ++module_entries;
    if (error_handler_entry) {
        error_handler_entry = 0;
        err_seen = basic_err();
        if (on_error_line != 500) error_handler_not_found();
    }
}

const TranslatedProgram HANDLER_PROGRAM = {nullptr, handler_module, nullptr};

class OnError : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        module_entries = 0;
        err_seen = 0;
    }
    void TearDown() override {
        on_error_line = 0;
        CoreTest::TearDown();
    }
};

TEST_F(OnError, HandlerTakesTheErrorWithoutADialog) {
    set_running_program(&HANDLER_PROGRAM);
    on_error_line = 500;
    raise_error(53);
    statement_hook(10);
    EXPECT_EQ(module_entries, 1);
    EXPECT_EQ(err_seen, 53);
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(last_box.count, 0);
}

TEST_F(OnError, RunningHandlerOrCriticalErrorGoesToTheDialog) {
    set_running_program(&HANDLER_PROGRAM);
    on_error_line = 500;
    error_handler_running = 1;
    raise_error(53);
    statement_hook(10);
    error_handler_running = 0;
    EXPECT_EQ(module_entries, 0);
    EXPECT_EQ(last_box.caption, "Unhandled Error #53");
    pending_error = 307;
    EXPECT_EXIT(show_error_dialog(), ExitedWithCode(0), "Critical Error #307");
}

TEST_F(OnError, MissingHandlerExitsWith99) {
    set_running_program(&HANDLER_PROGRAM);
    on_error_line = 600;
    raise_error(5);
    EXPECT_EXIT(statement_hook(10), ExitedWithCode(99), "");
}

}  // namespace
