// Close requests, Pause/Break and the fixed frame, taken directly from the
// X connection that the windowing library opened for the current window.
#include "platform/window_events.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

namespace {

struct Match {
    Window window;
    Atom protocols, delete_window;
};

KeySym event_keysym(XEvent* e) { return XLookupKeysym(&e->xkey, 0); }

Bool is_ours(Display*, XEvent* e, XPointer raw) {
    const Match* m = reinterpret_cast<const Match*>(raw);
    if (e->type == ClientMessage)
        return e->xclient.window == m->window && e->xclient.message_type == m->protocols &&
               Atom(e->xclient.data.l[0]) == m->delete_window;
    if (e->type == Expose) return e->xexpose.window == m->window;
    if (e->type == KeyPress || e->type == KeyRelease) {
        KeySym sym = event_keysym(e);
        return sym == XK_Pause || sym == XK_Break;
    }
    return False;
}

// X reports a held key as release/press pairs with the same time stamp;
// such a release is not a real one.
bool is_repeat_release(Display* d, XEvent* release) {
    if (!XEventsQueued(d, QueuedAfterReading)) return false;
    XEvent next;
    XPeekEvent(d, &next);
    return next.type == KeyPress && next.xkey.time == release->xkey.time &&
           next.xkey.keycode == release->xkey.keycode;
}

}  // namespace

void platform_window_take_events(const WindowEventSink* sink) {
    Display* d = glXGetCurrentDisplay();
    Window w = glXGetCurrentDrawable();
    if (!d || !w) return;
    Match m{w, XInternAtom(d, "WM_PROTOCOLS", False), XInternAtom(d, "WM_DELETE_WINDOW", False)};
    XEvent e;
    while (XCheckIfEvent(d, &e, is_ours, reinterpret_cast<XPointer>(&m))) {
        if (e.type == ClientMessage) {
            sink->event(WindowEventKind::close_request);
            continue;
        }
        if (e.type == Expose) {
            if (e.xexpose.count == 0) sink->event(WindowEventKind::exposed);
            continue;
        }
        if (e.type == KeyRelease && is_repeat_release(d, &e)) continue;
        bool pause = event_keysym(&e) == XK_Pause;
        bool down = e.type == KeyPress;
        sink->event(pause ? (down ? WindowEventKind::pause_down : WindowEventKind::pause_up)
                          : (down ? WindowEventKind::break_down : WindowEventKind::break_up));
    }
}

void platform_window_wait(uint32_t timeout_ms) {
    Display* d = glXGetCurrentDisplay();
    if (!d) return;
    if (XPending(d)) return;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, int(timeout_ms));
}

void platform_window_fix_size(int width, int height, bool fixed) {
    Display* d = glXGetCurrentDisplay();
    Window w = glXGetCurrentDrawable();
    if (!d || !w) return;
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    if (fixed) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
    } else {
        hints->flags = PMinSize;
        hints->min_width = hints->min_height = 1;
    }
    XSetWMNormalHints(d, w, hints);
    XFree(hints);
    XFlush(d);
}
