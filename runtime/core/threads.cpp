// The worker threads, END, parking and the exit sequence.
#include "platform/process.h"
#include "platform/sleep.h"
#include "platform/thread.h"
#include "runtime/core/clock.h"
#include "runtime/core/program.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/core/traps.h"

void stop_program_thread() {
    parked_threads.fetch_or(1);
    while (!stop_requested.load()) platform_sleep_ms(16);
    for (;;) platform_sleep_ms(16);
}

[[noreturn]] static void exit_sequence() {
    stop_requested = 1;
    check_pending = 1;
    while (parked_threads.load() != 3) platform_sleep_ms(16);
    close_all_files();
    platform_exit(0);
}

// Polls the timer traps. A pass sleeps a millisecond instead of yielding
// (a yield spins a core), and ten while no trap is running at all.
static void timer_thread(void*) {
    for (;;) {
        int32_t expected = 1;
        timer_pause.compare_exchange_strong(expected, 2);
        bool running = timer_traps_running();
        if (timer_pause.load() == 0 && running) advance_timer_traps(double(clock_ms()) * 0.001);
        platform_sleep_ms(running ? 1 : 10);
        if (stop_requested.load()) {
            parked_threads.fetch_or(2);
            return;
        }
    }
}

static void housekeeping_thread(void*) {
    int toggle = 0;
    for (;;) {
        int32_t expected = 1;
        if (frame_pause.compare_exchange_strong(expected, 2))
            while (frame_pause.load() == 2) platform_sleep_ms(1);
        if (exit_request.load() && !exit_handled_by_program.load()) exit_sequence();

        update_bios_tick_count();
        if (int32_t shell = shell_running.load()) {
            if (shell == -1) {
                platform_sleep_ms(64);
            } else {
                shell_running = -1;
                if (auto_display.load()) housekeeping_build_frame();
                frame_counter.fetch_add(1);
                retrace_in_progress = 0;
            }
            continue;
        }

        platform_sleep_ms(15);
        retrace_in_progress = 1;
        retrace_mark.fetch_add(1);
        platform_sleep_ms(1);

        if (program_ended.load()) {
            frame_pause = 2;
            exit_sequence();
        }
        // No printer: nothing to send.
        toggle ^= 1;
        if (toggle == 1) {
            if (auto_display.load()) housekeeping_build_frame();
            frame_counter.fetch_add(1);
        }
        retrace_in_progress = 0;
        if (toggle == 0) housekeeping_sync_lock_keys();
    }
}

static void program_thread(void*) { running_program()->main_module(nullptr); }

void runtime_start_threads() {
    if (!platform_thread_start(program_thread, nullptr) ||
        !platform_thread_start(timer_thread, nullptr))
        platform_exit(0);
    housekeeping_started = 1;
    if (!platform_thread_start(housekeeping_thread, nullptr)) platform_exit(0);
}

void end_program() {
    close_all_files();
    exit_handled_by_program = 0;
    end_show_prompt();
    while (end_take_key()) platform_yield();
    auto_display = 1;
    for (;;) {
        platform_sleep_ms(1);
        if (stop_requested.load()) stop_program_thread();
        if (end_take_key()) break;
    }
    program_ended = 1;
    stop_program_thread();
}

int32_t exit_query() {
    exit_handled_by_program = 1;
    return int32_t(exit_request.exchange(0));
}
