// Run-time errors, the statement hook and the error dialogs.
#pragma once
#include <atomic>
#include <cstdint>

// Records a BASIC error for the end of the statement, or ends the process
// at once with its box for a critical code.
void raise_error(int32_t code);

// Called by translated code after a statement when check_pending is set.
void statement_hook(uint32_t line);

// Dispatches due event traps; statement_hook calls it.
void check_events();

// The error step: hands the error to ON ERROR or asks the user.
void show_error_dialog();

// Message of a BASIC error code ("Unprintable error" when unknown).
const char* error_message(int32_t code);

// The "X86 Error" box of the machine-code interpreter; exits with 86.
[[noreturn]] void unknown_opcode_error(uint8_t opcode);

// Handler for arithmetic faults: raise_error(11).
void arithmetic_fault_handler(int signal_number);

extern std::atomic<uint32_t> error_line;
extern std::atomic<int32_t> retry_statement;

// ON ERROR plumbing.
extern uint32_t on_error_line;          // 0: no ON ERROR in force
extern int32_t error_handler_running;   // a handler is running
extern int32_t error_handler_entry;     // the main module is re-entered for it
extern int32_t err_code;                // ERR

int32_t basic_err();
uint32_t basic_erl();
