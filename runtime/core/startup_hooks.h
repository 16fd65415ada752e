// The entry points that start-up, END and the housekeeping thread call in
// the other subsystems. Each subsystem implements its own; until it does,
// a file named <subsystem>_stubs.cpp beside it holds no-op versions.
#pragma once
#include <cstdint>

// Values and storage (runtime/values, runtime/core memory).
void handle_lists_startup();        // step 2: the three handle lists
void memory_startup();              // step 12: static pool, conventional memory
void strings_startup();             // step 13 (and the command line string of step 14)

// Screen (runtime/screen).
void font_metrics_startup();        // step 8
void image_table_startup();         // step 9
void screen_startup();              // step 17: palettes, glyphs, SCREEN 0
void end_show_prompt();             // END steps 3 and 4

// Window, keyboard and frames (runtime/window).
void frame_ring_startup();          // step 3
void scan_code_buffer_startup();    // step 11
void keyboard_startup();            // step 16
void housekeeping_build_frame();    // frame step of the housekeeping pass
void housekeeping_sync_lock_keys(); // lock-key step of the housekeeping pass
bool end_take_key();                // one INKEY$ for END: true if a key came
int  window_run(int argc, char** argv);  // steps 19 to 21; returns when the loop does

// Files (runtime/files).
void close_all_files();

// System services (runtime/system).
void environment_startup();         // step 7

// Machine emulation (runtime/machine).
void machine_startup();             // step 10
