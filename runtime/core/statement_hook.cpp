// The statement hook: pause, stop, pending errors and event traps.
#include "platform/sleep.h"
#include "runtime/core/errors.h"
#include "runtime/core/program.h"
#include "runtime/core/state.h"

std::atomic<uint32_t> error_line{0};
std::atomic<int32_t> retry_statement{0};

void statement_hook(uint32_t line) {
    check_pending = 0;
    retry_statement = 0;
    while (pause_flags.load() || stop_requested.load()) {
        if (stop_requested.load()) stop_program_thread();
        platform_sleep_ms(10);
    }
    if (pending_error.load()) {
        error_line = line;
        show_error_dialog();
    } else {
        check_events();
    }
}
