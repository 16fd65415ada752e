// Placeholders until the display image lands.
#include <atomic>
#include <cstdint>

#include "runtime/core/startup_hooks.h"
#include "runtime/window/frame.h"

std::atomic<int32_t> display_cache_valid{0};
bool display_frame_source(FrameSource*) { return false; }
bool end_take_key() { return false; }
