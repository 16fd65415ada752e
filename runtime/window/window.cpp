// Opens the window and runs the event loop; the display callback draws
// the newest frame of the frame ring.
#include "runtime/window/window.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/sleep.h"
#include "platform/window_events.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/values/basic_string.h"
#include "runtime/window/frame.h"
#include "runtime/window/keyboard.h"

std::string window_title = "Untitled";
std::atomic<int32_t> mouse_x{0}, mouse_y{0};

namespace {

constexpr int INITIAL_WIDTH = 1024, INITIAL_HEIGHT = 552;
constexpr GLuint FRAME_TEXTURE = 4294967295u;

// The title travels from the program thread to the main thread, which
// alone may talk to the window.
std::mutex title_lock;
bool title_changed = false;
bool window_exists = false;

// Window state (main thread).
int window_width = 640, window_height = 400;
int previous_width = 640, previous_height = 400;
int frame_width = 640, frame_height = 400;
double frame_aspect = 1.6;
double given_aspect = 1.6;
bool resize_pending = true;
// Redraws owed whatever the frames do. A reshape owes two: a software GL
// learns the drawable's new size only at the swap after it, so the first
// picture drawn after a resize can land in a buffer of the old size.
int forced_redraw = 0;
std::atomic<int32_t> auto_fit{1};
std::atomic<int32_t> resize_mode{0};
std::atomic<int32_t> full_screen_request{-1};
std::atomic<int32_t> full_screen{0};
std::atomic<int32_t> full_screen_smooth{0};
int target_width = 0, target_height = 0;
int saved_window = 0;
constexpr int DISPLAY_ORDER = 2;  // the page is drawn first, opaque

std::atomic<int32_t> reshape_event{0};
std::atomic<int32_t> reshape_width{0}, reshape_height{0};

// Mouse mapping from window pixels to page pixels.
struct MouseMapping {
    double offset_x = 0, offset_y = 0, scale_x = 1, scale_y = 1;
    int largest_x = 639, largest_y = 399;
} mapping;

MouseMessage mouse_ring[MOUSE_RING_SIZE];
std::atomic<int32_t> mouse_write{0}, mouse_read{0};
int32_t mouse_buttons = 0;

void on_window_event(WindowEventKind kind) {
    switch (kind) {
        case WindowEventKind::close_request: window_close_requested(); break;
        case WindowEventKind::pause_down: key_down(KEY_PAUSE); break;
        case WindowEventKind::pause_up: key_up(KEY_PAUSE); break;
        case WindowEventKind::break_down: key_down(KEY_BREAK); break;
        case WindowEventKind::break_up: key_up(KEY_BREAK); break;
        case WindowEventKind::exposed:
            // Nothing keeps the picture of a covered window: draw it again.
            forced_redraw = 1;
            glutPostRedisplay();
            break;
    }
}

void register_callbacks();

// Sizes the window to w × h; a fixed frame follows the size.
void size_window(int w, int h) {
    if (!WINDOW_RESIZABLE) platform_window_fix_size(w, h, true);
    glutReshapeWindow(w, h);
}

// Step 5 of the display callback. True when it asked for a resize and
// the frame is to be drawn after the reshape.
bool fit_window(const FrameSlot& frame) {
    bool frame_size_changed = frame.width != frame_width || frame.height != frame_height;
    frame_width = frame.width;
    frame_height = frame.height;
    frame_aspect = double(frame_width) / double(frame_height ? frame_height : 1);
    double window_aspect = double(window_width) / double(window_height ? window_height : 1);
    if (resize_mode.load() == 0 || window_aspect == given_aspect || window_aspect == frame_aspect) {
        if ((window_width != frame_width || window_height != frame_height) &&
            (auto_fit.load() || frame_size_changed)) {
            size_window(frame_width, frame_height);
            glutPostRedisplay();
            resize_pending = true;
            return true;
        }
        return false;
    }
    // A stretch mode and a window the user gave another aspect: keep the
    // side the user changed most and fit the other to the frame's aspect.
    int w = window_width, h = window_height;
    bool width_changed = w != previous_width, height_changed = h != previous_height;
    if (height_changed && (!width_changed || std::abs(h - previous_height) >= std::abs(w - previous_width)))
        w = int(std::lround(frame_aspect * h));
    else
        h = int(std::lround(w / frame_aspect));
    glutReshapeWindow(w, h);
    given_aspect = double(w) / double(h ? h : 1);
    resize_pending = true;
    glutPostRedisplay();
    return false;
}

bool try_game_mode(int w, int h, int32_t request) {
    char mode[64];
    std::snprintf(mode, sizeof mode, "%dx%d:32", w, h);
    glutGameModeString(mode);
    if (!glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) return false;
    if (full_screen.load() == 0) saved_window = glutGetWindow();
    glutEnterGameMode();
    target_width = w;
    target_height = h;
    register_callbacks();
    full_screen = request;
    full_screen_request = -1;
    return true;
}

// Step 6. True when the callback is to return.
bool switch_full_screen() {
    int32_t request = full_screen_request.load();
    if (resize_pending || request < 0) return false;
    if (request == 0) {
        if (full_screen.load()) glutLeaveGameMode();
        if (saved_window) glutSetWindow(saved_window);
        register_callbacks();
        full_screen = 0;
        full_screen_request = -1;
        return true;
    }
    if (try_game_mode(frame_width, frame_height, request)) return true;
    if (try_game_mode(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT), request)) return true;
    full_screen = 0;
    full_screen_request = -1;
    return false;
}

void reset_gl_state() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
}

void draw_pixels(const FrameSlot& frame) {
    glViewport(0, 0, window_width, window_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, window_width, window_height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(0, 0);
    glPixelZoom(1, -1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glDrawPixels(frame.width, frame.height, GL_BGRA, GL_UNSIGNED_BYTE, frame.pixels);
    mapping = {0, 0, 1.0, 1.0, frame.width - 1, frame.height - 1};
}

void draw_texture(const FrameSlot& frame, bool bars_pass) {
    bool windowed = full_screen.load() == 0;
    int w = windowed ? window_width : target_width, h = windowed ? window_height : target_height;
    if (w <= 0 || h <= 0) return;
    double x0 = 0, y0 = 0, qw = w, qh = h;
    double target_aspect = double(w) / double(h);
    if (full_screen.load() == 2 && target_aspect != frame_aspect) {
        if (target_aspect > frame_aspect) {
            qw = double(std::lround(frame_aspect * h));
            x0 = std::floor((w - qw) / 2);
        } else {
            qh = double(std::lround(w / frame_aspect));
            y0 = std::floor((h - qh) / 2);
        }
    }
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, w, h, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (bars_pass) {
        glColor3f(0, 0, 0);
        glBegin(GL_QUADS);
        if (x0 > 0) {
            glVertex2d(0, 0), glVertex2d(x0, 0), glVertex2d(x0, h), glVertex2d(0, h);
            glVertex2d(x0 + qw, 0), glVertex2d(w, 0), glVertex2d(w, h), glVertex2d(x0 + qw, h);
        }
        if (y0 > 0) {
            glVertex2d(0, 0), glVertex2d(w, 0), glVertex2d(w, y0), glVertex2d(0, y0);
            glVertex2d(0, y0 + qh), glVertex2d(w, y0 + qh), glVertex2d(w, h), glVertex2d(0, h);
        }
        glEnd();
        return;
    }
    bool smooth = (windowed && resize_mode.load() == 2) || (!windowed && full_screen_smooth.load());
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, FRAME_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, smooth ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, frame.width, frame.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 frame.pixels);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2d(x0, y0);
    glTexCoord2f(1, 0), glVertex2d(x0 + qw, y0);
    glTexCoord2f(1, 1), glVertex2d(x0 + qw, y0 + qh);
    glTexCoord2f(0, 1), glVertex2d(x0, y0 + qh);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    mapping = {-x0, -y0, frame.width / qw, frame.height / qh, frame.width - 1, frame.height - 1};
}

void on_display() {
    int32_t newest = supersede_older_frames();
    if (!newest) return;
    FrameSlot& frame = frame_ring[newest];
    if (frame.shown.load() && full_screen_request.load() < 0 && !forced_redraw) return;
    if (forced_redraw) --forced_redraw;
    if (full_screen.load() == 0 && full_screen_request.load() < 0 && fit_window(frame)) return;
    if (switch_full_screen()) return;
    frame.shown = 1;

    bool pixel_copy = full_screen.load() == 0 && resize_mode.load() == 0;
    for (int pass = 1; pass <= 4; ++pass) {
        reset_gl_state();
        if (pass == 1) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        bool page_pass = (DISPLAY_ORDER == 2 && pass == 1) || (DISPLAY_ORDER == 1 && pass == 3);
        if (page_pass) {
            glClear(GL_DEPTH_BUFFER_BIT);
            if (DISPLAY_ORDER == 1) {
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            }
            if (pixel_copy) draw_pixels(frame);
            else draw_texture(frame, false);
        }
        if (pass == 4 && !pixel_copy && full_screen.load() == 2) draw_texture(frame, true);
    }
    supersede_older_frames();
    if (!pause_flags.load()) glutSwapBuffers();
}

void apply_title() {
    std::lock_guard<std::mutex> guard(title_lock);
    if (!title_changed) return;
    title_changed = false;
    glutSetWindowTitle(window_title.c_str());
}

void on_redisplay_timer(int) {
    apply_title();
    glutPostRedisplay();
    glutTimerFunc(8, on_redisplay_timer, 0);
}

void on_reshape(int width, int height) {
    reshape_width = width;
    reshape_height = height;
    reshape_event = -1;
    previous_width = window_width;
    previous_height = window_height;
    window_width = width;
    window_height = height;
    resize_pending = false;
    forced_redraw = 2;
}

void queue_mouse(int x, int y, int32_t buttons, int16_t wheel) {
    int32_t write = mouse_write.load(std::memory_order_relaxed);
    int32_t next = (write + 1) % MOUSE_RING_SIZE;
    if (next == mouse_read.load()) return;  // full: the reader is far behind
    mouse_ring[write] = {int16_t(x), int16_t(y), buttons, 0, wheel};
    mouse_write.store(next, std::memory_order_release);
}

void move_mouse(int x, int y) {
    int px = int((x + mapping.offset_x) * mapping.scale_x), py = int((y + mapping.offset_y) * mapping.scale_y);
    mouse_x = px < 0 ? 0 : px > mapping.largest_x ? mapping.largest_x : px;
    mouse_y = py < 0 ? 0 : py > mapping.largest_y ? mapping.largest_y : py;
}

void on_mouse(int button, int state, int x, int y) {
    move_mouse(x, y);
    int32_t bit = button == GLUT_LEFT_BUTTON ? 1 : button == GLUT_RIGHT_BUTTON ? 2 : button == GLUT_MIDDLE_BUTTON ? 4 : 0;
    if (button == 3 || button == 4) {  // wheel turns: 4 up, 5 down, as press and release
        if (state == GLUT_DOWN) queue_mouse(mouse_x, mouse_y, mouse_buttons, button == 3 ? 1 : -1);
        return;
    }
    if (state == GLUT_DOWN) mouse_buttons |= bit;
    else mouse_buttons &= ~bit;
    queue_mouse(mouse_x, mouse_y, mouse_buttons, 0);
}

void on_motion(int x, int y) { move_mouse(x, y); }

void on_wheel(int, int direction, int x, int y) {
    move_mouse(x, y);
    queue_mouse(mouse_x, mouse_y, mouse_buttons, int16_t(direction > 0 ? 1 : -1));
}

void on_key(unsigned char key, int, int) {
    int m = glutGetModifiers();
    window_character_key(key, true, m & GLUT_ACTIVE_CTRL, m & GLUT_ACTIVE_SHIFT);
}
void on_key_up(unsigned char key, int, int) {
    int m = glutGetModifiers();
    window_character_key(key, false, m & GLUT_ACTIVE_CTRL, m & GLUT_ACTIVE_SHIFT);
}
void on_special(int key, int, int) { window_special_key(key, true); }
void on_special_up(int key, int, int) { window_special_key(key, false); }

// Should the window manager destroy the window anyway, the program still
// ends through the exit sequence.
void on_close() { window_close_requested(); }

void register_callbacks() {
    glutDisplayFunc(on_display);
    glutKeyboardFunc(on_key);
    glutKeyboardUpFunc(on_key_up);
    glutSpecialFunc(on_special);
    glutSpecialUpFunc(on_special_up);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    glutPassiveMotionFunc(on_motion);
    glutMouseWheelFunc(on_wheel);
    glutReshapeFunc(on_reshape);
    glutCloseFunc(on_close);
}

// Without a display there is no window: the program runs on and the exit
// sequence still ends the process.
int run_without_window() {
    std::fprintf(stderr, "no display: running without a window\n");
    for (;;) platform_sleep_ms(1000);
}

}  // namespace

void window_close_requested() { exit_request.fetch_or(1); }

void set_window_title(const BasicString* title) {
    if (pending_error.load()) return;
    std::lock_guard<std::mutex> guard(title_lock);
    window_title.assign(reinterpret_cast<const char*>(title->chars), size_t(title->length));
    // X titles end at the first zero byte, as the stored copy does.
    window_title.resize(std::char_traits<char>::length(window_title.c_str()));
    title_changed = window_exists;
}

void set_resize_mode(int32_t on, int32_t mode, int32_t mode_given) {
    if (pending_error.load()) return;
    auto_fit = on ? 0 : 1;
    resize_mode = mode_given ? mode : 0;
}

int32_t resize_event() {
    if (auto_fit.load()) return 0;
    return reshape_event.exchange(0);
}
int32_t resize_width() { return reshape_width.load(); }
int32_t resize_height() { return reshape_height.load(); }

void request_full_screen(int32_t request, int32_t smooth) {
    full_screen_smooth = smooth ? 1 : 0;
    full_screen_request = request;
}
int32_t full_screen_state() { return full_screen.load(); }

bool read_mouse_message(MouseMessage* message) {
    int32_t read = mouse_read.load();
    if (read == mouse_write.load(std::memory_order_acquire)) return false;
    *message = mouse_ring[read];
    mouse_read = (read + 1) % MOUSE_RING_SIZE;
    return true;
}

int window_run(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return run_without_window();
    if (WINDOW_RESIZABLE) auto_fit = 0;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(INITIAL_WIDTH, INITIAL_HEIGHT);
    {
        std::lock_guard<std::mutex> guard(title_lock);
        glutCreateWindow(window_title.c_str());
        window_exists = true;
    }
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    register_callbacks();
    glutTimerFunc(8, on_redisplay_timer, 0);
    platform_window_fix_size(INITIAL_WIDTH, INITIAL_HEIGHT, !WINDOW_RESIZABLE);

    static const WindowEventSink sink{on_window_event};
    for (;;) {
        platform_window_take_events(&sink);
        glutMainLoopEvent();
        platform_window_wait(8);
    }
}
