// What the windowing library does not report: the window manager's close
// request, the Pause and Break keys, and a fixed-size frame. The hooks
// work on the window that is current in the calling thread's GL context.
#pragma once
#include <cstdint>

enum class WindowEventKind { close_request, pause_down, pause_up, break_down, break_up, exposed };

struct WindowEventSink {
    void (*event)(WindowEventKind kind);
};

// Takes the close requests, Pause/Break key events and exposures (the
// window lost part of its picture) out of the queue of the current
// window's display and reports them to the sink; leaves every
// other event for the windowing library.
void platform_window_take_events(const WindowEventSink* sink);

// Waits until the display has events or timeout_ms passes.
void platform_window_wait(uint32_t timeout_ms);

// Tells the window manager that the window's size is fixed at w x h
// (fixed = true) or free again.
void platform_window_fix_size(int width, int height, bool fixed);
