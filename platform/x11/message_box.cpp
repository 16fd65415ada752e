// Message boxes: a modal window of our own on the X display, or the
// terminal when there is no display.
#include "platform/message_box.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static std::atomic<MessageBoxHook> box_hook{nullptr};

void platform_set_message_box_hook(MessageBoxHook hook) { box_hook.store(hook); }

namespace {

std::vector<std::string> split_lines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    lines.push_back(line);
    return lines;
}

MessageBoxAnswer terminal_box(const char* text, const char* caption, MessageBoxButtons buttons) {
    std::fprintf(stderr, "%s\n%s\n", caption, text);
    bool yes_no = buttons == MessageBoxButtons::yes_no;
    std::fprintf(stderr, yes_no ? "[Y/N] " : "[OK] ");
    std::fflush(stderr);
    char answer[64];
    if (!std::fgets(answer, sizeof answer, stdin)) {
        std::fputc('\n', stderr);
        return yes_no ? MessageBoxAnswer::no : MessageBoxAnswer::ok;
    }
    if (!yes_no) return MessageBoxAnswer::ok;
    return (answer[0] == 'y' || answer[0] == 'Y') ? MessageBoxAnswer::yes : MessageBoxAnswer::no;
}

struct Button {
    const char* label;
    MessageBoxAnswer answer;
    int x, y, w, h;
};

constexpr int kMargin = 16, kButtonW = 80, kButtonH = 26, kGap = 12;

void set_caption(Display* d, Window w, const char* caption) {
    XStoreName(d, w, caption);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
    XChangeProperty(d, w, net_name, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(caption), int(std::strlen(caption)));
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(d, w, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    Atom state = XInternAtom(d, "_NET_WM_STATE", False);
    Atom modal[2] = {XInternAtom(d, "_NET_WM_STATE_MODAL", False),
                     XInternAtom(d, "_NET_WM_STATE_ABOVE", False)};
    XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(modal), 2);
}

void draw(Display* d, Window w, GC gc, XFontStruct* font, const std::vector<std::string>& lines,
          const std::vector<Button>& buttons, int width, int height) {
    unsigned long black = BlackPixel(d, DefaultScreen(d));
    unsigned long white = WhitePixel(d, DefaultScreen(d));
    XSetForeground(d, gc, white);
    XFillRectangle(d, w, gc, 0, 0, unsigned(width), unsigned(height));
    XSetForeground(d, gc, black);
    int line_h = font->ascent + font->descent;
    int y = kMargin + font->ascent;
    for (const auto& line : lines) {
        XDrawString(d, w, gc, kMargin, y, line.c_str(), int(line.size()));
        y += line_h;
    }
    for (const auto& b : buttons) {
        XDrawRectangle(d, w, gc, b.x, b.y, unsigned(b.w), unsigned(b.h));
        int tw = XTextWidth(font, b.label, int(std::strlen(b.label)));
        XDrawString(d, w, gc, b.x + (b.w - tw) / 2, b.y + (b.h + font->ascent - font->descent) / 2,
                    b.label, int(std::strlen(b.label)));
    }
    XFlush(d);
}

MessageBoxAnswer key_answer(KeySym sym, MessageBoxButtons buttons, bool* done) {
    bool yes_no = buttons == MessageBoxButtons::yes_no;
    *done = true;
    switch (sym) {
        case XK_y: case XK_Y:
            if (yes_no) return MessageBoxAnswer::yes;
            break;
        case XK_n: case XK_N:
            if (yes_no) return MessageBoxAnswer::no;
            break;
        case XK_Return: case XK_KP_Enter: case XK_space:
            return yes_no ? MessageBoxAnswer::yes : MessageBoxAnswer::ok;
        case XK_Escape:
            return yes_no ? MessageBoxAnswer::no : MessageBoxAnswer::ok;
        default:
            break;
    }
    *done = false;
    return MessageBoxAnswer::ok;
}

MessageBoxAnswer x11_box(Display* d, const char* text, const char* caption, MessageBoxButtons buttons) {
    int screen = DefaultScreen(d);
    XFontStruct* font = XLoadQueryFont(d, "fixed");
    if (!font) font = XQueryFont(d, XGContextFromGC(DefaultGC(d, screen)));
    std::vector<std::string> lines = split_lines(text);

    int text_w = 0;
    for (const auto& line : lines)
        text_w = std::max(text_w, XTextWidth(font, line.c_str(), int(line.size())));
    std::vector<Button> row;
    if (buttons == MessageBoxButtons::yes_no)
        row = {{"Yes", MessageBoxAnswer::yes, 0, 0, kButtonW, kButtonH},
               {"No", MessageBoxAnswer::no, 0, 0, kButtonW, kButtonH}};
    else
        row = {{"OK", MessageBoxAnswer::ok, 0, 0, kButtonW, kButtonH}};
    int row_w = int(row.size()) * kButtonW + (int(row.size()) - 1) * kGap;
    int width = std::max(std::max(text_w, row_w) + 2 * kMargin, 240);
    int text_h = int(lines.size()) * (font->ascent + font->descent);
    int height = kMargin + text_h + kMargin + kButtonH + kMargin;
    int bx = (width - row_w) / 2;
    for (auto& b : row) {
        b.x = bx;
        b.y = height - kMargin - kButtonH;
        bx += kButtonW + kGap;
    }

    Window root = RootWindow(d, screen);
    int sx = (DisplayWidth(d, screen) - width) / 2, sy = (DisplayHeight(d, screen) - height) / 2;
    Window w = XCreateSimpleWindow(d, root, sx, sy, unsigned(width), unsigned(height), 1,
                                   BlackPixel(d, screen), WhitePixel(d, screen));
    set_caption(d, w, caption);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = sx;
    hints.y = sy;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(d, w, &hints);
    Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &wm_delete, 1);
    XSelectInput(d, w, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    GC gc = XCreateGC(d, w, 0, nullptr);
    XSetFont(d, gc, font->fid);
    XMapRaised(d, w);

    MessageBoxAnswer answer = buttons == MessageBoxButtons::yes_no ? MessageBoxAnswer::no
                                                                   : MessageBoxAnswer::ok;
    for (bool done = false; !done;) {
        XEvent e;
        XNextEvent(d, &e);
        switch (e.type) {
            case MapNotify:
                XSetInputFocus(d, w, RevertToParent, CurrentTime);
                break;
            case Expose:
                if (e.xexpose.count == 0) draw(d, w, gc, font, lines, row, width, height);
                break;
            case KeyPress: {
                KeySym sym = XLookupKeysym(&e.xkey, 0);
                MessageBoxAnswer a = key_answer(sym, buttons, &done);
                if (done) answer = a;
                break;
            }
            case ButtonPress:
                for (const auto& b : row)
                    if (e.xbutton.x >= b.x && e.xbutton.x < b.x + b.w && e.xbutton.y >= b.y &&
                        e.xbutton.y < b.y + b.h) {
                        answer = b.answer;
                        done = true;
                    }
                break;
            case ClientMessage:
                if (Atom(e.xclient.data.l[0]) == wm_delete) done = true;
                break;
            default:
                break;
        }
    }
    XFreeGC(d, gc);
    XDestroyWindow(d, w);
    XFreeFont(d, font);
    XSync(d, False);
    return answer;
}

}  // namespace

MessageBoxAnswer platform_message_box(const char* text, const char* caption, MessageBoxButtons buttons) {
    if (MessageBoxHook hook = box_hook.load()) return hook(text, caption, buttons);
    const char* name = std::getenv("DISPLAY");
    Display* d = (name && *name) ? XOpenDisplay(nullptr) : nullptr;
    if (!d) return terminal_box(text, caption, buttons);
    MessageBoxAnswer answer = x11_box(d, text, caption, buttons);
    XCloseDisplay(d);
    return answer;
}
