// The error step: ON ERROR, or the dialog that names the error.
#include <cstdio>

#include "platform/message_box.h"
#include "platform/process.h"
#include "runtime/core/errors.h"
#include "runtime/core/program.h"
#include "runtime/core/state.h"

uint32_t on_error_line = 0;
int32_t error_handler_running = 0;
int32_t error_handler_entry = 0;
int32_t err_code = 0;

namespace {

struct ErrorMessage {
    int32_t code;
    const char* text;
};

constexpr ErrorMessage ERROR_MESSAGES[] = {
    {1, "NEXT without FOR"}, {2, "Syntax error"}, {3, "RETURN without GOSUB"},
    {4, "Out of DATA"}, {5, "Illegal function call"}, {6, "Overflow"},
    {7, "Out of memory"}, {8, "Label not defined"}, {9, "Subscript out of range"},
    {10, "Duplicate definition"}, {12, "Illegal in direct mode"}, {13, "Type mismatch"},
    {14, "Out of string space"}, {16, "String formula too complex"}, {17, "Cannot continue"},
    {18, "Function not defined"}, {19, "No RESUME"}, {20, "RESUME without error"},
    {24, "Device timeout"}, {25, "Device fault"}, {26, "FOR without NEXT"},
    {27, "Out of paper"}, {29, "WHILE without WEND"}, {30, "WEND without WHILE"},
    {33, "Duplicate label"}, {35, "Subprogram not defined"}, {37, "Argument-count mismatch"},
    {38, "Array not defined"}, {40, "Variable required"}, {50, "FIELD overflow"},
    {51, "Internal error"}, {52, "Bad file name or number"}, {53, "File not found"},
    {54, "Bad file mode"}, {55, "File already open"}, {56, "FIELD statement active"},
    {57, "Device I/O error"}, {58, "File already exists"}, {59, "Bad record length"},
    {61, "Disk full"}, {62, "Input past end of file"}, {63, "Bad record number"},
    {64, "Bad file name"}, {67, "Too many files"}, {68, "Device unavailable"},
    {69, "Communication-buffer overflow"}, {70, "Permission denied"}, {71, "Disk not ready"},
    {72, "Disk-media error"}, {73, "Feature unavailable"}, {74, "Rename across disks"},
    {75, "Path/File access error"}, {76, "Path not found"}, {258, "Invalid handle"},
    {262, "Function unavailable in VAPRO"}, {300, "Memory region out of range"},
    {301, "Invalid size"}, {302, "Source memory region out of range"},
    {303, "Destination memory region out of range"},
    {304, "Source and destination memory regions out of range"},
    {305, "Source memory has been freed"}, {306, "Destination memory has been freed"},
    {307, "Memory already freed"}, {308, "Memory has been freed"},
    {309, "Memory not initialized"}, {310, "Source memory not initialized"},
    {311, "Destination memory not initialized"},
    {312, "Source and destination memory not initialized"},
    {313, "Source and destination memory have been freed"},
};

}  // namespace

const char* error_message(int32_t code) {
    for (const auto& m : ERROR_MESSAGES)
        if (m.code == code) return m.text;
    return "Unprintable error";
}

void show_error_dialog() {
    int32_t code = pending_error.load();
    bool critical = code >= 300 && code <= 313;
    if (on_error_line && !error_handler_running && !critical) {
        err_code = code;
        pending_error = 0;
        error_handler_entry = 1;
        // The module sees the entry flag and jumps to its handler (or
        // exits with 99 when it has none for that line).
        running_program()->main_module(nullptr);
        return;
    }
    char text[256];
    std::snprintf(text, sizeof text, "Line:%u\n%s%s", error_line.load(), error_message(code),
                  critical ? "" : "\nContinue?");
    char caption[48];
    std::snprintf(caption, sizeof caption, "%s%u", critical ? "Critical Error #" : "Unhandled Error #",
                  uint32_t(code));
    if (critical) {
        platform_message_box(text, caption, MessageBoxButtons::ok);
        platform_exit(0);
    }
    if (platform_message_box(text, caption, MessageBoxButtons::yes_no) != MessageBoxAnswer::yes) {
        program_ended = 1;
        stop_program_thread();
    }
    pending_error = 0;
}

void unknown_opcode_error(uint8_t opcode) {
    static const char HEX[] = "0123456789ABCDEF";
    char text[] = "Unknown Opcode (  )";
    text[16] = HEX[opcode >> 4];
    text[17] = HEX[opcode & 15];
    platform_message_box(text, "X86 Error", MessageBoxButtons::ok);
    platform_exit(86);
}

void error_handler_not_found() { platform_exit(99); }

int32_t basic_err() { return err_code; }
uint32_t basic_erl() { return error_line.load(); }
