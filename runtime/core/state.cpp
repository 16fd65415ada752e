#include "runtime/core/state.h"

std::atomic<int32_t> check_pending{0};
std::atomic<int32_t> pending_error{0};
std::atomic<uint8_t> pause_flags{0};
std::atomic<uint8_t> stop_requested{0};
std::atomic<uint8_t> program_ended{0};
std::atomic<uint32_t> exit_request{0};
std::atomic<int32_t> exit_handled_by_program{0};
std::atomic<uint32_t> parked_threads{0};
std::atomic<int32_t> auto_display{1};
std::atomic<uint32_t> frame_counter{0};
std::atomic<int32_t> timer_pause{0};
std::atomic<int32_t> frame_pause{0};
std::atomic<uint8_t> housekeeping_started{0};
std::atomic<int32_t> shell_running{0};
std::atomic<uint8_t> retrace_in_progress{0};
std::atomic<uint32_t> retrace_mark{0};
