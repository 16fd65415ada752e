// build_frame's handshake with page reconfiguration, and the statements
// that switch automatic presentation.
#include "platform/sleep.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/window/frame.h"

// Describes the display image for the builder; false when there is none
// or its font is one the builder cannot draw.
static bool display_frame_source(FrameSource* s) {
    const ImageRecord* image = display_image.load();
    if (!image || !image->valid || !image->pixels) return false;
    *s = FrameSource{};
    s->mode = image->is_text ? 0 : image->mode;
    s->width = image->width;
    s->height = image->height;
    s->bits_per_pixel = image->bits_per_pixel;
    s->pixels = image->pixels;
    s->palette = image->palette;
    s->mode10_levels = MODE10_LEVELS;
    if (!image->is_text) return image->bits_per_pixel == 32 || image->palette;
    int32_t font = image->font;
    switch (font) {
        case 8: case 9: s->glyphs = GLYPHS_8X8, s->glyph_bytes = 64, s->font_height = 8; break;
        case 14: case 15: s->glyphs = GLYPHS_8X16, s->glyph_bytes = 128, s->glyph_offset = 8, s->font_height = 14; break;
        case 16: case 17: s->glyphs = GLYPHS_8X16, s->glyph_bytes = 128, s->font_height = 16; break;
        default: return false;  // loadable fonts have no engine here
    }
    s->double_width = font == 9 || font == 15 || font == 17;
    s->font_width = s->double_width ? 16 : 8;
    s->cursor_column = image->cursor_column;
    s->cursor_row = image->cursor_row;
    s->cursor_visible = image->cursor_visible;
    s->cursor_start = image->cursor_start;
    s->cursor_stop = image->cursor_stop;
    s->pending_newline = image->pending_newline;
    return image->palette != nullptr;
}

static void answer_pause_request() {
    int32_t expected = 1;
    if (frame_pause.compare_exchange_strong(expected, 2)) platform_yield();
}

void build_frame() {
    answer_pause_request();
    FrameSource source;
    if (frame_pause.load() == 0 && display_frame_source(&source)) build_frame_from(source);
    answer_pause_request();
    int32_t requested = -1;
    auto_display.compare_exchange_strong(requested, 0);
}

void housekeeping_build_frame() { build_frame(); }

void display_now() {
    int32_t automatic = auto_display.load();
    if (automatic == 0) return build_frame();
    // The builder thread takes the request on its next frame pass.
    auto_display = -1;
    while (auto_display.load() != 0 && !stop_requested.load()) platform_sleep_ms(1);
}

void set_auto_display() { auto_display = 1; }
