// A small translated program that exercises the spine. Its first argument
// chooses what it does:
//   idle    statements in a waiting loop (the window stays until closed)
//   error   error 9 at line 120, then the waiting loop
//   divide  an integer division by zero at line 7
//   end     END at once
#include <cstring>

#include "platform/sleep.h"
#include "runtime/core/errors.h"
#include "runtime/core/program.h"
#include "runtime/core/state.h"

namespace {

void statement_end(uint32_t line) {
    if (check_pending.load()) statement_hook(line);
}

__attribute__((no_sanitize("integer-divide-by-zero"))) int divide(int a, int b) {
    volatile int numerator = a, denominator = b;
    return numerator / denominator;
}

void waiting_loop() {
    for (;;) {
        platform_sleep_ms(10);
        statement_end(100);
    }
}

void main_module(void*) {
    enter_main_module();
    const std::string& mode = command_line_text();
    if (mode == "error") {
        raise_error(9);
        statement_end(120);
    } else if (mode == "divide") {
        volatile int result = divide(1, 0);
        (void)result;
        statement_end(7);
    } else if (mode == "end") {
        end_program();
    }
    waiting_loop();
}

const TranslatedProgram SPINE_PROGRAM = {nullptr, main_module, nullptr};

}  // namespace

int main(int argc, char** argv) { return ferix_main(argc, argv, &SPINE_PROGRAM); }
