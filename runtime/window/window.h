// The window: freeglut set-up, callbacks and the event loop.
#pragma once
#include <string>

// The title the window gets (or has); "Untitled" until the program sets one.
extern std::string window_title;

// Reports the window manager's close request to the runtime.
void window_close_requested();
