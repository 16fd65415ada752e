// Opens the window and runs the event loop on the main thread.
#include "runtime/window/window.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sleep.h"
#include "platform/window_events.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/window/keyboard.h"

std::string window_title = "Untitled";

constexpr int INITIAL_WIDTH = 1024, INITIAL_HEIGHT = 552;


void window_close_requested() { exit_request.fetch_or(1); }

static void on_window_event(WindowEventKind kind) {
    switch (kind) {
        case WindowEventKind::close_request: window_close_requested(); break;
        case WindowEventKind::pause_down: key_down(KEY_PAUSE); break;
        case WindowEventKind::pause_up: key_up(KEY_PAUSE); break;
        case WindowEventKind::break_down: key_down(KEY_BREAK); break;
        case WindowEventKind::break_up: key_up(KEY_BREAK); break;
    }
}

// Until there are frames, the window is cleared once and after reshapes.
static bool redraw_forced = true;

static void on_display() {
    if (!redraw_forced) return;
    redraw_forced = false;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!pause_flags.load()) glutSwapBuffers();
}

static void on_timer(int) {
    glutPostRedisplay();
    glutTimerFunc(8, on_timer, 0);
}

static void on_reshape(int width, int height) {
    glViewport(0, 0, width, height);
    redraw_forced = true;
}

// Should the window manager destroy the window anyway, the program still
// ends through the exit sequence.
static void on_close() { window_close_requested(); }

// Without a display there is no window: the program runs on and the exit
// sequence still ends the process.
static int run_without_window() {
    std::fprintf(stderr, "no display: running without a window\n");
    for (;;) platform_sleep_ms(1000);
}

int window_run(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return run_without_window();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(INITIAL_WIDTH, INITIAL_HEIGHT);
    glutCreateWindow(window_title.c_str());
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutDisplayFunc(on_display);
    glutTimerFunc(8, on_timer, 0);
    glutReshapeFunc(on_reshape);
    glutCloseFunc(on_close);
    platform_window_fix_size(INITIAL_WIDTH, INITIAL_HEIGHT, true);

    static const WindowEventSink sink{on_window_event};
    for (;;) {
        platform_window_take_events(&sink);
        glutMainLoopEvent();
        platform_window_wait(8);
    }
}
