// The process entry and the start-up sequence, in its order.
#include <cstdlib>
#include <cstring>
#include <vector>
#include <memory>

#include "platform/fpu.h"
#include "platform/process.h"
#include "runtime/core/clock.h"
#include "runtime/core/errors.h"
#include "runtime/core/program.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/traps.h"

static const TranslatedProgram* the_program = nullptr;
static std::string command_line;

const TranslatedProgram* running_program() { return the_program; }
void set_running_program(const TranslatedProgram* program) { the_program = program; }
const std::string& command_line_text() { return command_line; }

std::string program_folder_of(const std::string& path) {
    for (size_t i = path.size(); i-- > 0;) {
        char c = path[i];
        if (c == ':') return path.substr(0, i + 1);
        if (c == '\\' || c == '/') return path.substr(0, i);
    }
    return std::string();
}

std::string command_line_of(int argc, char** argv) {
    std::vector<char> line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line.push_back(' ');
        line.insert(line.end(), argv[i], argv[i] + std::strlen(argv[i]));
    }
    return std::string(line.begin(), line.end());
}

static void enter_program_folder() {
    static std::unique_ptr<char[]> path(new char[65536]);
    platform_program_path(path.get(), 65536);
    std::string folder = program_folder_of(path.get());
    // A path without a separator leaves the directory as it was; a path
    // whose only separator is the root keeps the root.
    if (folder.empty() && path[0] == '/') folder.assign(1, '/');
    if (!folder.empty()) platform_change_directory(folder.c_str());
}

void runtime_startup(int argc, char** argv, const TranslatedProgram* program) {
    the_program = program;
    set_trap_dispatch(program ? program->dispatch_handler : nullptr);
    if (program && program->init_hook) program->init_hook();  // 1
    handle_lists_startup();                                    // 2
    frame_ring_startup();                                      // 3
    init_trap_tables();                                        // 4, 5
    enter_program_folder();                                    // 6
    environment_startup();                                     // 7
    font_metrics_startup();                                    // 8
    image_table_startup();                                     // 9
    machine_startup();                                         // 10
    scan_code_buffer_startup();                                // 11
    memory_startup();                                          // 12
    command_line = command_line_of(argc, argv);                // 14 (text)
    strings_startup();                                         // 13, 14 (strings)
    take_time_base();                                          // 15
    keyboard_startup();                                        // 16
    screen_startup();                                          // 17
}

bool enter_main_module() {
    static bool entered = false;
    if (entered) return false;
    entered = true;
    platform_fpu_set_extended_precision();
    platform_install_arithmetic_fault_handler(arithmetic_fault_handler);
    return true;
}

int ferix_main(int argc, char** argv, const TranslatedProgram* program) {
    runtime_startup(argc, argv, program);
    runtime_start_threads();             // 18
    window_run(argc, argv);              // 19 to 21
    return 0;
}
