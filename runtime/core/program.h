// What a translated program gives the runtime, and the process entry.
#pragma once
#include <cstdint>
#include <string>

struct TranslatedProgram {
    void (*init_hook)();                                 // start-up step 1; may be null
    void (*main_module)(void* argument);                 // never returns
    void (*dispatch_handler)(int32_t id, int64_t argument);  // trap handlers; may be null
};

// The process: start-up, threads, window, event loop. Returns only if the
// event loop does, with 0.
int ferix_main(int argc, char** argv, const TranslatedProgram* program);

// Start-up steps 1 to 17 (everything before the threads).
void runtime_startup(int argc, char** argv, const TranslatedProgram* program);

// Step 18: ProgramThread, TimerThread, HousekeepingThread.
void runtime_start_threads();

// The translated main module calls this first; true on its first entry
// (sets 64-bit mantissas and installs the arithmetic fault handler).
bool enter_main_module();

// The translated program found no handler for the line an ON ERROR
// named: ends the process with exit code 99.
[[noreturn]] void error_handler_not_found();

// The program registered at start-up.
const TranslatedProgram* running_program();
void set_running_program(const TranslatedProgram* program);

// END and SYSTEM; never returns.
[[noreturn]] void end_program();

// Parks the calling thread for good.
[[noreturn]] void stop_program_thread();

// The exit query: takes over window-close handling, returns and clears
// the exit_request bits.
int32_t exit_query();

// Start-up step 6: the folder part of a program path ("" when the path
// has no separator, which leaves the directory unchanged).
std::string program_folder_of(const std::string& path);

// Start-up step 14: arguments from the second on, joined by blanks.
std::string command_line_of(int argc, char** argv);

// The command line text, for COMMAND$.
const std::string& command_line_text();
