// SCREEN, PCOPY and the default screen.
#include <cstddef>
#include <cstring>

#include "runtime/core/errors.h"
#include "runtime/core/memory.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/screen/text.h"

namespace {

struct TextGeometry {
    int32_t columns, rows, font;
};

bool mode_exists(int32_t mode) {
    return mode >= 0 && mode <= 13 && (mode < 3 || mode > 6);
}

// Columns and rows of the old page 0, for the rules that carry a text
// size over a mode change.
TextGeometry old_geometry(int32_t index) {
    if (!index) return {0, 0, 0};
    ImageRecord* old = image_at(index);
    if (old->is_text) return {old->width, old->height, old->font};
    int32_t fw = font_width[old->font], fh = font_height[old->font];
    return {old->width / (fw ? fw : 1), old->height / (fh ? fh : 1), old->font};
}

TextGeometry text_geometry(const TextGeometry& old) {
    TextGeometry g;
    if (pending_text_columns != -1 && pending_text_rows != -1 && pending_text_font != -1) {
        g = {pending_text_columns, pending_text_rows, pending_text_font};
    } else if (pending_text_columns != -1) {
        g = {pending_text_columns, 25, 16};
        if (old.rows == 43) g = {g.columns, 43, 14};
        if (old.rows == 50) g = {g.columns, 50, 8};
        if (g.columns == 40) g.font += 1;
    } else if (pending_text_rows != -1) {
        g.rows = pending_text_rows;
        g.font = g.rows == 43 ? 14 : g.rows == 50 ? 8 : 16;
        g.columns = 80;
        if (old.columns == 40) {
            g.columns = 40;
            g.font += 1;
        }
    } else if (old.columns == 80 && old.rows == 50) {
        g = {80, 50, 8};
    } else if (old.columns == 40 && old.rows == 50) {
        g = {40, 50, 9};
    } else if (old.columns == 80 && old.rows == 43) {
        g = {80, 43, 8};
    } else if (old.columns == 40 && old.rows == 43) {
        g = {40, 43, 9};
    } else if (old.columns == 40 && old.rows == 25) {
        g = {40, 25, 17};
    } else {
        g = {80, 25, 16};
    }
    if (g.columns == 40 && g.rows == 25) g.font = 17;
    if (g.columns == 80 && g.rows == 25) g.font = 16;
    pending_text_columns = pending_text_rows = pending_text_font = -1;
    return g;
}

// Eight text pages, as many as fit in the 64 KiB at B800:0000 lying there.
// Returns page 0's index, 0 when memory ran out.
int32_t make_text_pages(const TextGeometry& g) {
    size_t page_size = size_t(g.columns) * g.rows * 2;
    if (g.columns == 40 && g.rows == 25) page_size = 2048;
    if (g.columns == 80 && g.rows == 25) page_size = 4096;
    size_t in_video = 65536 / page_size;
    if (in_video > 8) in_video = 8;
    if (!set_page_entry(7, 0)) return 0;
    uint8_t* video = ConventionalMemory + TEXT_VIDEO_MEMORY;
    for (int32_t page = 0; page < 8; ++page) {
        int32_t index = size_t(page) < in_video
                            ? init_image_record(video + page * page_size, g.columns, g.rows, 0)
                            : alloc_image(g.columns, g.rows, 0);
        if (!index) return 0;
        ImageRecord* image = image_at(index);
        apply_font(g.font, image);
        image->image_flags |= DISPLAY_PAGE;
        set_page_entry(page, index);
    }
    for (size_t i = 0; i < 65536; i += 2) {
        video[i] = 32;
        video[i + 1] = 7;
    }
    return page_image_index(0);
}

int32_t make_graphics_page(int32_t mode, const TextGeometry& old) {
    switch (mode) {
    case 13: {
        uint8_t* video = ConventionalMemory + GRAPHICS_VIDEO_MEMORY;
        int32_t index = init_image_record(video, 320, 200, 13);
        std::memset(video, 0, 64000);
        return index;
    }
    case 11:
    case 12: {
        int32_t index = alloc_image(640, 480, mode);
        if (index && old.columns == 80 && old.rows == 60) apply_font(8, image_at(index));
        return index;
    }
    case 9:
    case 10: {
        int32_t index = alloc_image(640, 350, mode);
        if (index && old.columns == 80 && old.rows == 43) apply_font(8, image_at(index));
        return index;
    }
    case 7:
    case 1: return alloc_image(320, 200, mode);
    default: return alloc_image(640, 200, mode);
    }
}

void make_current(int32_t index) {
    write_image_index = read_image_index = index;
    write_image = read_image = image_at(index);
    set_display_image(index);
}

void rebuild_screen(int32_t mode) {
    TextGeometry old = old_geometry(page_image_index(0));
    discard_display_pages();
    int32_t index;
    if (mode < 0) {
        index = -mode;
        screen_is_user_image = 1;
        set_page_entry(0, index);
    } else if (mode == 0) {
        index = make_text_pages(text_geometry(old));
    } else {
        index = make_graphics_page(mode, old);
        if (index) set_page_entry(0, index);
    }
    if (!index) {
        // Out of memory for the new screen: fall back on the text screen in
        // video memory, which needs no allocation of pixels.
        raise_error(7);
        discard_display_pages();
        index = make_text_pages({80, 25, 16});
    }
    image_at(index)->image_flags |= DISPLAY_PAGE;
    make_current(index);
    write_image->draw_angle = 0.0;
    write_image->draw_scale = 1.0;
    last_active_page = 0;
    draw_soft_key_line(1);
}

// After a page switch: the write image's colours and text window start over.
void reset_write_page() {
    reset_page_colours();
    ImageRecord* image = write_image;
    int32_t rows = text_rows_of(image);
    image->view_print_top = 1;
    if (image->cursor_row > rows) image->cursor_row = 1;
    image->view_print_bottom = int16_t(rows - 1 < 1 ? 1 : rows - 1);
}

void copy_graphics_state(ImageRecord* to, const ImageRecord* from) {
    constexpr size_t first = offsetof(ImageRecord, view_x1);
    constexpr size_t end = offsetof(ImageRecord, draw_scale) + sizeof(double);
    std::memcpy(reinterpret_cast<char*>(to) + first, reinterpret_cast<const char*>(from) + first,
                end - first);
}

}  // namespace

void set_screen_mode(int32_t mode, int32_t, int32_t active_page, int32_t visual_page, int32_t,
                     uint32_t flags) {
    if (pending_error.load()) return;
    if (initial_screen && !(flags == 1 && mode == 0)) initial_screen = 0;
    bool mode_given = flags & 1, active_given = flags & 4, visual_given = flags & 8;
    uint32_t change = 0;
    int32_t old = page_image_index(0);
    if (mode_given) {
        if (mode < 0) {
            int64_t index = -int64_t(mode);
            if (index < 2 || index >= image_high_water || !image_at(int32_t(index))->valid) {
                raise_error(258);
                return;
            }
            // Another display page would be freed with the old screen.
            if (index != old && (image_at(int32_t(index))->image_flags & DISPLAY_PAGE)) {
                raise_error(5);
                return;
            }
            if (index != old) change |= 1;
        } else {
            if (!mode_exists(mode)) {
                raise_error(5);
                return;
            }
            if (!old || image_at(old)->mode != mode || pending_text_columns != -1 ||
                pending_text_rows != -1 || pending_text_font != -1)
                change |= 1;
        }
    }
    if (active_given && !visual_given) {
        visual_page = active_page;
        visual_given = true;
    }
    if ((active_given && active_page < 0) || (visual_given && visual_page < 0)) {
        raise_error(5);
        return;
    }
    if (!(change & 1)) {
        if (active_given) {
            int32_t index = ensure_page(active_page);
            if (!index) return;
            if (index != write_image_index || index != read_image_index) change |= 2;
        }
        if (visual_given) {
            int32_t index = ensure_page(visual_page);
            if (!index) return;
            if (index != display_image_index.load()) change |= 2;
        }
    }
    if (!change) return;

    bool paused = (change & 1) && pause_frame_builder();
    display_cache_valid = 0;
    if (mode_given && (change & 1)) rebuild_screen(mode);

    if (active_given) {
        int32_t index = ensure_page(active_page);
        if (index && (index != write_image_index || index != read_image_index)) {
            write_image_index = read_image_index = index;
            write_image = read_image = image_at(index);
            reset_write_page();
            if (active_page != last_active_page) {
                int32_t from = page_image_index(last_active_page);
                if (!write_image->is_text && from) copy_graphics_state(write_image, image_at(from));
                last_active_page = active_page;
            }
        }
    }
    if (visual_given) {
        int32_t index = ensure_page(visual_page);
        if (index && index != display_image_index.load()) {
            set_display_image(index);
            reset_write_page();
        }
    }
    release_frame_builder(paused);
}

static int32_t page_copy_operand(int32_t argument) {
    if (argument < 0) {
        int64_t index = -int64_t(argument);
        if (index < 2 || index >= image_high_water || !image_at(int32_t(index))->valid) {
            raise_error(5);
            return 0;
        }
        return int32_t(index);
    }
    return ensure_page(argument);
}

void copy_page(int32_t source, int32_t destination) {
    if (pending_error.load()) return;
    int32_t from_index = page_copy_operand(source);
    if (!from_index) return;
    int32_t to_index = page_copy_operand(destination);
    if (!to_index || from_index == to_index) return;
    ImageRecord* from = image_at(from_index);
    ImageRecord* to = image_at(to_index);
    if (from->bytes_per_pixel != to->bytes_per_pixel || from->width != to->width ||
        from->height != to->height ||
        (from->bytes_per_pixel == 1 && to->colour_mask < from->colour_mask)) {
        raise_error(5);
        return;
    }
    std::memmove(to->pixels, from->pixels,
                 size_t(from->width) * from->height * from->bytes_per_pixel);
}

void screen_startup() {
    palettes_startup();
    glyphs_startup();
    set_screen_mode(0, 0, 0, 0, 0, 1);
    initial_screen = 1;
}
