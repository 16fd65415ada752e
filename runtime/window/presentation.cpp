// build_frame's handshake with page reconfiguration, and the statements
// that switch automatic presentation.
#include "platform/sleep.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/window/frame.h"

// Describes the display image for the builder; false when there is none.
bool display_frame_source(FrameSource* source);

static void answer_pause_request() {
    int32_t expected = 1;
    if (frame_pause.compare_exchange_strong(expected, 2)) platform_yield();
}

void build_frame() {
    answer_pause_request();
    FrameSource source;
    if (frame_pause.load() == 0 && display_frame_source(&source)) build_frame_from(source);
    answer_pause_request();
    int32_t requested = -1;
    auto_display.compare_exchange_strong(requested, 0);
}

void housekeeping_build_frame() { build_frame(); }

void display_now() {
    int32_t automatic = auto_display.load();
    if (automatic == 0) return build_frame();
    // The builder thread takes the request on its next frame pass.
    auto_display = -1;
    while (auto_display.load() != 0 && !stop_requested.load()) platform_sleep_ms(1);
}

void set_auto_display() { auto_display = 1; }
