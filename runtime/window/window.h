// The window: freeglut set-up, callbacks and the event loop.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

struct BasicString;

// The title the window gets (or has); "Untitled" until the program sets one.
extern std::string window_title;

// Reports the window manager's close request to the runtime.
void window_close_requested();

// Sets the window's title (at once if the window exists).
void set_window_title(const BasicString* title);

// ON (on != 0) keeps a size the user gives a resizable window; mode 1
// stretches, 2 smooths (mode_given 0: mode 0).
void set_resize_mode(int32_t on, int32_t mode, int32_t mode_given);
// -1 once after each reshape while sizes are kept, else 0.
int32_t resize_event();
int32_t resize_width();
int32_t resize_height();

// Full screen: 0 leave, 1 stretch, 2 keep aspect; smooth scaling when set.
void request_full_screen(int32_t request, int32_t smooth);
int32_t full_screen_state();

// One mouse message of the window's ring.
struct MouseMessage {
    int16_t x, y;
    int32_t buttons;
    int16_t wheel_x, wheel_y;
};
constexpr int32_t MOUSE_RING_SIZE = 65536;
// The oldest unread message; false when none.
bool read_mouse_message(MouseMessage* message);
// The pointer in page pixels.
extern std::atomic<int32_t> mouse_x, mouse_y;

// Whether the user may resize the window (a build option; 0 here).
constexpr bool WINDOW_RESIZABLE = false;
