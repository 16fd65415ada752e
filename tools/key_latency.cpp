// Measures the time from a key press sent to a window to the letter
// appearing in it: the text cell (ROW, COLUMN; 1-based, 8 × 16 cells) is
// read back until it is lit, then Backspace clears it again. Prints every
// trial and the median in milliseconds.
//   key_latency WINDOW ROW COLUMN [TRIALS]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void send_key(Display* d, Window w, KeySym sym) {
    for (int type : {KeyPress, KeyRelease}) {
        XEvent e{};
        e.xkey.type = type;
        e.xkey.display = d;
        e.xkey.window = w;
        e.xkey.root = DefaultRootWindow(d);
        e.xkey.time = CurrentTime;
        e.xkey.same_screen = True;
        e.xkey.keycode = XKeysymToKeycode(d, sym);
        XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
    XFlush(d);
}

bool cell_lit(Display* d, Window w, int row, int column) {
    XImage* image = XGetImage(d, w, (column - 1) * 8, (row - 1) * 16, 8, 16, AllPlanes, ZPixmap);
    if (!image) return false;
    bool lit = false;
    for (int y = 0; y < 16 && !lit; ++y)
        for (int x = 0; x < 8 && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return lit;
}

// Milliseconds until the cell is in the wanted state, or -1 after 2 s.
double wait_cell(Display* d, Window w, int row, int column, bool lit, Clock::time_point start) {
    while (Clock::now() - start < std::chrono::seconds(2)) {
        if (cell_lit(d, w, row, column) == lit)
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: key_latency WINDOW ROW COLUMN [TRIALS]\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    Window w = Window(std::strtoul(argv[1], nullptr, 0));
    int row = std::atoi(argv[2]), column = std::atoi(argv[3]);
    int trials = argc > 4 ? std::atoi(argv[4]) : 20;
    std::vector<double> times;
    for (int i = 0; i < trials; ++i) {
        auto start = Clock::now();
        send_key(d, w, XK_n);
        double ms = wait_cell(d, w, row, column, true, start);
        if (ms < 0) {
            std::fprintf(stderr, "the letter did not appear\n");
            return 1;
        }
        times.push_back(ms);
        send_key(d, w, XK_BackSpace);
        if (wait_cell(d, w, row, column, false, Clock::now()) < 0) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(37 * (i % 3)));  // vary the phase
    }
    std::sort(times.begin(), times.end());
    for (double t : times) std::printf("%.1f ", t);
    std::printf("\nmedian: %.1f ms\n", times[times.size() / 2]);
    XCloseDisplay(d);
    return 0;
}
