// The words the threads share. Each is written whole by one thread and
// polled by the others; there are no locks.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> check_pending;
extern std::atomic<int32_t> pending_error;
extern std::atomic<uint8_t> pause_flags;
extern std::atomic<uint8_t> stop_requested;
extern std::atomic<uint8_t> program_ended;
extern std::atomic<uint32_t> exit_request;          // bit 0 window closed, bit 1 Break
extern std::atomic<int32_t> exit_handled_by_program;
extern std::atomic<uint32_t> parked_threads;        // bit 0 program, bit 1 timer
extern std::atomic<int32_t> auto_display;           // 1 auto, 0 on request, -1 requested
extern std::atomic<uint32_t> frame_counter;         // bit 3 is the blink phase

// Request/acknowledge words: the requester writes 1, the worker answers 2
// and idles until the requester writes 0.
extern std::atomic<int32_t> timer_pause;
extern std::atomic<int32_t> frame_pause;
// Set just before HousekeepingThread starts: from then on the requesters
// of frame_pause have someone to wait for.
extern std::atomic<uint8_t> housekeeping_started;

// Non-zero while a waiting SHELL runs; -1 once its extra frame is built.
extern std::atomic<int32_t> shell_running;

// Simulated vertical retrace, for the status port: in_retrace is set by
// each mark and cleared later in the same pass; retrace_mark counts marks.
extern std::atomic<uint8_t> retrace_in_progress;
extern std::atomic<uint32_t> retrace_mark;
