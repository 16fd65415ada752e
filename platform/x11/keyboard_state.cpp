// The real keyboard's state, read from the X server.
#include "platform/keyboard_state.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <mutex>

// One connection, opened at first use and kept: the lock keys are polled
// about thirty times a second.
static std::mutex connection_lock;
static Display* connection = nullptr;
static bool connection_tried = false;

static bool key_held(Display* d, const char keys[32], KeySym sym) {
    KeyCode code = XKeysymToKeycode(d, sym);
    return code != 0 && (keys[code / 8] & (1 << (code % 8)));
}

void platform_keyboard_state(PlatformKeyboardState* state) {
    *state = {};
    std::lock_guard<std::mutex> guard(connection_lock);
    if (!connection_tried) {
        connection_tried = true;
        const char* name = std::getenv("DISPLAY");
        if (name && *name) connection = XOpenDisplay(nullptr);
    }
    Display* d = connection;
    if (!d) return;
    unsigned int indicators = 0;
    if (XkbGetIndicatorState(d, XkbUseCoreKbd, &indicators) == Success) {
        // Indicator order of the standard keymap: Caps, Num, Scroll.
        state->caps_lock = indicators & 1;
        state->num_lock = indicators & 2;
        state->scroll_lock = indicators & 4;
    }
    char keys[32];
    XQueryKeymap(d, keys);
    state->left_shift = key_held(d, keys, XK_Shift_L);
    state->right_shift = key_held(d, keys, XK_Shift_R);
    state->left_ctrl = key_held(d, keys, XK_Control_L);
    state->right_ctrl = key_held(d, keys, XK_Control_R);
    state->left_alt = key_held(d, keys, XK_Alt_L);
    state->right_alt = key_held(d, keys, XK_Alt_R) || key_held(d, keys, XK_ISO_Level3_Shift);
    state->scroll_lock_held = key_held(d, keys, XK_Scroll_Lock);
}
