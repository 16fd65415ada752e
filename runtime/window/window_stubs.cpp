// Placeholders until frames and the keyboard land.
#include "runtime/core/startup_hooks.h"

void frame_ring_startup() {}
void scan_code_buffer_startup() {}
void keyboard_startup() {}
void housekeeping_build_frame() {}
void housekeeping_sync_lock_keys() {}
bool end_take_key() { return false; }

#include "runtime/window/keyboard.h"

void key_down(int32_t) {}
void key_up(int32_t) {}
