#include "runtime/screen/image_operations.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"

int32_t printer_width = 80;

namespace {

size_t pixel_bytes(const ImageRecord* image) {
    return size_t(image->width) * image->height * image->bytes_per_pixel;
}

bool is_display_page(const ImageRecord* image) { return image->image_flags & DISPLAY_PAGE; }

void make_write_image(int32_t index) {
    write_image_index = index;
    write_image = image_at(index);
}
void make_read_image(int32_t index) {
    read_image_index = index;
    read_image = image_at(index);
}

// Drops every display page but page 0; the current images that were on
// them move to the display image (page 0's when it was one of them).
void discard_other_pages() {
    for (int32_t page = 1; page < page_count(); ++page) {
        int32_t index = page_image_index(page);
        if (!index) continue;
        if (display_image_index.load() == index) set_display_image(page_image_index(0));
        if (read_image_index == index) make_read_image(display_image_index.load());
        if (write_image_index == index) make_write_image(display_image_index.load());
        free_image_memory(index);
        set_page_entry(page, 0);
    }
}

// The image an argument names, or null after raising the error.
ImageRecord* image_of(int32_t argument, int32_t given) {
    int32_t index = resolve_image(argument, given);
    return index ? image_at(index) : nullptr;
}

// WIDTH on a mode-32 or mode-256 image: new zeroed pixels of the new size.
void resize_free_image(int32_t columns, int32_t rows, uint32_t flags) {
    ImageRecord* image = write_image;
    int32_t fw = font_width[image->font], fh = font_height[image->font];
    int32_t width = flags & 1 ? columns * (fw ? fw : 1) : image->width;
    int32_t height = flags & 2 ? rows * (fh ? fh : 1) : image->height;
    if (width == image->width && height == image->height) return;
    if (width > 0xFFFF || height > 0xFFFF) return raise_error(5);
    uint8_t* pixels = static_cast<uint8_t*>(std::calloc(size_t(width) * height * image->bytes_per_pixel, 1));
    if (!pixels) return raise_error(7);
    bool page = is_display_page(image);
    bool paused = page && pause_frame_builder();
    if (page) discard_other_pages();
    uint32_t foreground = image->foreground, background = image->background;
    int32_t font = image->font;
    if (image->image_flags & OWNS_PIXELS) std::free(image->pixels);
    image->pixels = pixels;
    image->image_flags |= OWNS_PIXELS;
    image->width = uint16_t(width);
    image->height = uint16_t(height);
    reset_image_defaults(write_image_index);
    image->foreground = foreground;
    image->background = background;
    apply_font(font, image);
    display_cache_valid = 0;
    release_frame_builder(paused);
}

void rebuild_text_screen() { set_screen_mode(0, 0, 0, 0, 0, 1); }

void text_size_of_text_screen(int32_t columns, int32_t rows, uint32_t flags) {
    ImageRecord* image = write_image;
    if (!(flags & 1)) columns = image->width;
    if (!(flags & 2)) rows = image->height;
    int32_t font = rows <= 42 ? 16 : rows <= 49 ? 14 : 8;
    if (columns <= 40) font += 1;
    if (font == image->font && columns == image->width && rows == image->height) return;
    pending_text_columns = columns;
    pending_text_rows = rows;
    pending_text_font = font;
    rebuild_text_screen();
}

// The font that makes columns × rows fill the graphics page; 0 when none.
int32_t fitting_font(int32_t columns, int32_t rows, uint32_t flags) {
    const ImageRecord* image = write_image;
    int32_t w = image->width, h = image->height;
    bool has_columns = flags & 1, has_rows = flags & 2;
    switch (image->mode) {
        case 1: case 2: case 7: case 8: case 13:
            if (has_columns && w != columns * 8) return 0;
            if (has_rows && h != rows * 8) return 0;
            return 8;
        case 9: case 10: case 11: case 12: {
            int32_t tall = image->mode <= 10 ? 14 : 16;
            if (has_columns && w != columns * 8) return 0;
            if (!has_rows) return font_height[image->font] > 8 ? tall : 8;
            int32_t font = 0;
            if (h == rows * 8) font = 8;
            if (h == rows * tall) font = tall;
            if (image->mode <= 10 && rows == 43 && h == 350) font = 8;
            return font;
        }
        default: return 0;
    }
}

void change_graphics_font(int32_t font) {
    ImageRecord* image = write_image;
    if (font == image->font) return;
    bool paused = is_display_page(image) && pause_frame_builder();
    if (is_display_page(image)) discard_other_pages();
    uint32_t foreground = image->foreground, background = image->background;
    bool keeps_window = image->mode >= 9 && image->mode <= 12;
    float wx1 = image->window_x1, wy1 = image->window_y1, wx2 = image->window_x2, wy2 = image->window_y2;
    float sx = image->scale_x, sy = image->scale_y, ox = image->offset_x, oy = image->offset_y;
    reset_image_defaults(write_image_index);
    if (keeps_window) {
        // WINDOW again over the whole page, as it was; plain coordinates.
        image->window_x1 = wx1, image->window_y1 = wy1, image->window_x2 = wx2, image->window_y2 = wy2;
        image->scale_x = sx, image->scale_y = sy, image->offset_x = ox, image->offset_y = oy;
        image->coordinate_mode = 0;
    }
    image->foreground = foreground;
    image->background = background;
    apply_font(font, image);
    display_cache_valid = 0;
    release_frame_builder(paused);
}

// No font fits the graphics page: the request becomes a text screen.
void graphics_to_text(int32_t columns, int32_t rows, uint32_t flags) {
    bool has_columns = flags & 1, has_rows = flags & 2;
    bool rows_ok = rows == 25 || rows == 50 || rows == 43;
    bool columns_ok = columns == 40 || columns == 80;
    if (has_rows && !has_columns) {
        if (!rows_ok) return raise_error(5);
        pending_text_rows = rows;
    } else if (has_columns && !has_rows) {
        if (!columns_ok) return raise_error(5);
        pending_text_columns = columns;
    } else {
        if (!rows_ok || !columns_ok) return raise_error(5);
        pending_text_columns = columns;
        pending_text_rows = rows;
        pending_text_font = (rows == 43 ? 14 : rows == 50 ? 8 : 16) + (columns == 40 ? 1 : 0);
    }
    rebuild_text_screen();
}

}  // namespace

void set_text_size(int32_t device, int32_t columns, int32_t rows, uint32_t flags) {
    if (pending_error.load()) return;
    if (device == 2) {
        if (!(flags & 1) || (flags & 2) || columns < 1 || columns > 255) return raise_error(5);
        printer_width = columns;
        return;
    }
    if (device != 0) return raise_error(5);
    initial_screen = 0;
    if (!(flags & 3)) return raise_error(5);
    if (((flags & 1) && columns <= 0) || ((flags & 2) && rows <= 0)) return raise_error(5);
    if (!write_image) return raise_error(5);
    uint16_t mode = write_image->mode;
    if (mode == 32 || mode == 256) return resize_free_image(columns, rows, flags);
    if (mode == 0) return text_size_of_text_screen(columns, rows, flags);
    if (int32_t font = fitting_font(columns, rows, flags)) return change_graphics_font(font);
    graphics_to_text(columns, rows, flags);
}

int32_t create_image(int32_t width, int32_t height, int32_t mode, int32_t mode_given) {
    if (pending_error.load()) return 0;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) {
        raise_error(5);
        return 0;
    }
    if (mode_given) {
        bool listed = mode == 0 || mode == 1 || mode == 2 || (mode >= 7 && mode <= 13) || mode == 32 || mode == 256;
        if (!listed) {
            raise_error(5);
            return 0;
        }
    } else {
        mode = write_image ? write_image->mode : 0;
    }
    int32_t index = alloc_image(width, height, mode);
    if (!index) return -1;
    ImageRecord* image = image_at(index);
    if (!mode_given && write_image) {
        if (write_image->palette && image->palette)
            std::memcpy(image->palette, write_image->palette, 256 * sizeof(uint32_t));
        set_font(write_image->font, -index, 1);
        image->foreground = write_image->foreground;
        image->background = write_image->background;
        image->transparent_colour = write_image->transparent_colour;
        image->blend_disabled = write_image->blend_disabled;
        image->print_mode = write_image->print_mode;
    }
    return -index;
}

int32_t copy_image(int32_t argument, int32_t given) {
    if (pending_error.load()) return 0;
    int32_t source_index = resolve_image(argument, given);
    if (!source_index) return 0;
    int32_t index = new_image_record();
    if (!index) return -1;
    ImageRecord* copy = image_at(index);
    const ImageRecord* source = image_at(source_index);
    std::memcpy(static_cast<void*>(copy), source, sizeof(ImageRecord));
    // The copy is a new object: it has no memory-block lock of its own yet.
    copy->lock = nullptr;
    copy->lock_id = 0;
    copy->pixels = static_cast<uint8_t*>(std::malloc(pixel_bytes(source) ? pixel_bytes(source) : 1));
    copy->palette = nullptr;
    bool ok = copy->pixels != nullptr;
    if (ok && source->palette) {
        copy->palette = static_cast<uint32_t*>(std::malloc(256 * sizeof(uint32_t)));
        ok = copy->palette != nullptr;
    }
    if (!ok) {
        std::free(copy->pixels);
        std::free(copy->palette);
        copy->image_flags = 0;
        copy->pixels = nullptr;
        copy->palette = nullptr;
        release_image_record(index);
        return -1;
    }
    std::memcpy(copy->pixels, source->pixels, pixel_bytes(source));
    if (copy->palette) std::memcpy(copy->palette, source->palette, 256 * sizeof(uint32_t));
    copy->image_flags = (source->image_flags & ~(DISPLAY_PAGE | OWNS_PALETTE)) | OWNS_PIXELS |
                        (copy->palette ? OWNS_PALETTE : 0);
    copy->valid = 1;
    return -index;
}

void free_image(int32_t handle, int32_t given) {
    if (pending_error.load()) return;
    int32_t index = write_image_index;
    if (given) {
        if (handle >= 0) return raise_error(5);
        int64_t i = -int64_t(handle);
        if (i >= image_high_water || i < 2 || !image_at(int32_t(i))->valid) return raise_error(258);
        index = int32_t(i);
    }
    ImageRecord* image = image_at(index);
    if (is_display_page(image)) return raise_error(5);
    if (index == write_image_index) make_write_image(display_image_index.load());
    if (index == read_image_index) make_read_image(display_image_index.load());
    free_image_memory(index);
}

void free_user_images() {
    if (pending_error.load()) return;
    for (int32_t index = 2; index < image_high_water; ++index) {
        const ImageRecord* image = image_at(index);
        if (image->valid && !is_display_page(image)) free_image(-index, 1);
    }
}

void set_write_image(int32_t argument) {
    if (pending_error.load()) return;
    if (int32_t index = resolve_image(argument, 1)) make_write_image(index);
}

void set_read_image(int32_t argument) {
    if (pending_error.load()) return;
    if (int32_t index = resolve_image(argument, 1)) make_read_image(index);
}

int32_t write_image_handle() { return pending_error.load() ? 0 : -write_image_index; }
int32_t read_image_handle() { return pending_error.load() ? 0 : -read_image_index; }
int32_t display_image_handle() { return pending_error.load() ? 0 : -display_image_index.load(); }

#define IMAGE_QUERY(type, name, expression)                     \
    type name(int32_t argument, int32_t given) {                \
        if (pending_error.load()) return 0;                     \
        const ImageRecord* image = image_of(argument, given);   \
        return image ? type(expression) : 0;                    \
    }
IMAGE_QUERY(int32_t, image_width, image->width)
IMAGE_QUERY(int32_t, image_height, image->height)
IMAGE_QUERY(int32_t, image_pixel_size, image->is_text ? 0 : image->mode == 32 ? 4 : 1)
IMAGE_QUERY(uint32_t, image_foreground, image->foreground)
IMAGE_QUERY(uint32_t, image_background, image->background)
IMAGE_QUERY(int32_t, image_font, image->font)
IMAGE_QUERY(int32_t, image_print_mode, image->print_mode)
IMAGE_QUERY(int64_t, image_clear_colour,
            image->is_text ? -1 : image->mode == 32 ? 0 : image->transparent_colour)
IMAGE_QUERY(int32_t, image_blending, image->mode == 32 && !image->blend_disabled ? -1 : 0)
#undef IMAGE_QUERY

static uint32_t* palette_slot(int32_t entry, int32_t argument, int32_t given) {
    ImageRecord* image = image_of(argument, given);
    if (!image) return nullptr;
    if (!image->palette || entry < 0 || entry > 255) {
        raise_error(5);
        return nullptr;
    }
    return &image->palette[entry];
}

uint32_t image_palette_entry(int32_t entry, int32_t argument, int32_t given) {
    if (pending_error.load()) return 0;
    uint32_t* slot = palette_slot(entry, argument, given);
    return slot ? *slot | 0xFF000000u : 0;
}

uint32_t set_image_palette_entry(int32_t entry, uint32_t colour, int32_t argument, int32_t given) {
    if (pending_error.load()) return 0;
    uint32_t* slot = palette_slot(entry, argument, given);
    if (!slot) return 0;
    *slot = colour;
    return colour;
}

void set_blending(int32_t on, int32_t argument, int32_t given) {
    if (pending_error.load()) return;
    ImageRecord* image = image_of(argument, given);
    if (!image) return;
    if (image->bytes_per_pixel == 4) image->blend_disabled = on ? 0 : 1;
    else if (on) raise_error(5);
}

void set_clear_colour(uint32_t colour, int32_t argument, uint32_t flags) {
    if (pending_error.load()) return;
    bool marker = flags & 1, has_colour = flags & 2;
    if (marker == has_colour) return raise_error(5);
    ImageRecord* image = image_of(argument, flags & 4);
    if (!image) return;
    if (image->is_text) {
        if (!marker) raise_error(5);
        return;
    }
    if (image->bytes_per_pixel == 4) {
        if (marker) return;
        uint32_t* p = reinterpret_cast<uint32_t*>(image->pixels);
        uint32_t key = colour & 0xFFFFFF;
        for (size_t i = 0, n = size_t(image->width) * image->height; i < n; ++i)
            if ((p[i] & 0xFFFFFF) == key) p[i] = key;
        return;
    }
    if (marker) {
        image->transparent_colour = -1;
        return;
    }
    if (colour >= 256) return raise_error(5);
    image->transparent_colour = int32_t(colour);
}

void copy_palette(int32_t source, int32_t destination, uint32_t flags) {
    if (pending_error.load()) return;
    int32_t from = flags & 1 ? resolve_image(source, 1) : read_image_index;
    if (!from) return;
    int32_t to = flags & 2 ? resolve_image(destination, 1) : write_image_index;
    if (!to) return;
    ImageRecord* a = image_at(from);
    ImageRecord* b = image_at(to);
    if (!a->palette || !b->palette) return raise_error(5);
    std::memmove(b->palette, a->palette, 256 * sizeof(uint32_t));
}
