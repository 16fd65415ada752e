// The state of the real keyboard: lock toggles and held modifiers.
#pragma once

struct PlatformKeyboardState {
    bool caps_lock, num_lock, scroll_lock;            // toggled on
    bool left_shift, right_shift, left_ctrl, right_ctrl,
         left_alt, right_alt, scroll_lock_held;       // held down
};

// Fills state from the display's keyboard; all false when there is none.
void platform_keyboard_state(PlatformKeyboardState* state);
