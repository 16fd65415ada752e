// Placeholders until frames land.
#include "runtime/core/startup_hooks.h"

void frame_ring_startup() {}
void housekeeping_build_frame() {}
bool end_take_key() { return false; }
