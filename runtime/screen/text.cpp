// PRINT and the text cursor: wrapping, control codes, zones and scrolling.
#include "runtime/screen/text.h"

#include <algorithm>
#include <cstring>

#include "platform/sleep.h"
#include "platform/standard_output.h"
#include "runtime/core/errors.h"
#include "runtime/core/memory.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/values/basic_string.h"

int32_t control_codes_off = 0;
bool drawing_soft_keys = false;

namespace {

int32_t rows_of(const ImageRecord* image) { return text_rows_of(image); }
int32_t columns_of(const ImageRecord* image) { return text_columns_of(image); }

// The attribute draw_glyph gives a cell, with the background kept to 0..7.
uint8_t cell_attribute(uint32_t foreground, uint32_t background) {
    return uint8_t((((background & 7) * 2 + (foreground & 16)) * 8) + (foreground & 15));
}

void fill_cells(ImageRecord* image, int32_t first_row, int32_t last_row, uint8_t attribute) {
    uint8_t* cell = image->pixels + size_t(first_row - 1) * image->width * 2;
    size_t count = size_t(last_row - first_row + 1) * image->width;
    for (size_t i = 0; i < count; ++i) {
        cell[2 * i] = 32;
        cell[2 * i + 1] = attribute;
    }
}

// Fills whole pixel rows of a graphics image without blending.
void fill_pixel_rows(ImageRecord* image, int32_t first, int32_t count, uint32_t colour) {
    if (count <= 0) return;
    size_t n = size_t(count) * image->width;
    uint8_t* start = image->pixels + size_t(first) * image->width * image->bytes_per_pixel;
    if (image->bytes_per_pixel == 1)
        std::memset(start, uint8_t(colour & image->colour_mask), n);
    else
        std::fill_n(reinterpret_cast<uint32_t*>(start), n, colour);
}

void scroll_window(ImageRecord* image) {
    int32_t top = image->view_print_top, bottom = image->view_print_bottom;
    if (image->is_text) {
        size_t row_bytes = size_t(image->width) * 2;
        uint8_t* first = image->pixels + size_t(top - 1) * row_bytes;
        std::memmove(first, first + row_bytes, size_t(bottom - top) * row_bytes);
        fill_cells(image, bottom, bottom, cell_attribute(image->foreground, image->background));
        return;
    }
    int32_t fh = font_height[image->font];
    size_t line_bytes = size_t(image->width) * image->bytes_per_pixel * fh;
    uint8_t* first = image->pixels + size_t(top - 1) * line_bytes;
    std::memmove(first, first + line_bytes, size_t(bottom - top) * line_bytes);
    fill_pixel_rows(image, (bottom - 1) * fh, fh, image->background);
}

bool is_acting_control(uint8_t c) {
    return c == 7 || c == 9 || c == 10 || c == 11 || c == 12 || c == 13 || (c >= 28 && c <= 31);
}

// Draws c at the cursor and moves on, with the right-edge rule. Returns
// whether the line wrapped.
bool put_printable(ImageRecord* w, uint8_t c, bool last, bool newline) {
    draw_glyph(c);
    w->cursor_column++;
    int32_t last_column;
    if (w->is_text) {
        if (w->cursor_column <= w->width) return false;
        last_column = w->cursor_column - 1;
    } else {
        int32_t fw = font_width[w->font];
        if ((w->cursor_column - 1) * fw <= w->width - fw) return false;
        last_column = w->width / fw;
    }
    if (newline || !last) {
        new_line();
        return true;
    }
    w->cursor_column = int16_t(last_column);
    w->pending_newline = 1;
    return false;
}

void cursor_control(ImageRecord* w, uint8_t c) {
    int32_t last_column = columns_of(w);
    switch (c) {
    case 7: platform_sleep_ms(250); break;
    case 10:
    case 13: new_line(); break;
    case 11:
        w->cursor_column = 1;
        w->cursor_row = w->view_print_top;
        break;
    case 12: clear_screen(0, 0, 0); break;
    case 28:
        if (w->cursor_row >= w->view_print_bottom && w->cursor_column >= last_column) break;
        if (++w->cursor_column > last_column) {
            w->cursor_row++;
            w->cursor_column = 1;
        }
        break;
    case 29:
        if (w->cursor_column == 1 &&
            (w->cursor_row == w->view_print_top || w->cursor_row > w->view_print_bottom))
            break;
        if (--w->cursor_column == 0) {
            w->cursor_row--;
            w->cursor_column = int16_t(last_column);
        }
        break;
    case 30:
        if (w->view_print_top < w->cursor_row && w->cursor_row <= w->view_print_bottom)
            w->cursor_row--;
        break;
    case 31:
        if (w->view_print_top <= w->cursor_row && w->cursor_row < w->view_print_bottom)
            w->cursor_row++;
        break;
    }
}

void write_console(const uint8_t* bytes, size_t length, int32_t newline) {
    const void* zero = std::memchr(bytes, 0, length);
    if (zero) length = size_t(static_cast<const uint8_t*>(zero) - bytes);
    platform_write_standard_output(bytes, length);
    if (newline) {
        platform_write_standard_output("\n", 1);
        platform_flush_standard_output();
    }
}

void print_text(const uint8_t* bytes, size_t length, int32_t newline) {
    ImageRecord* w = write_image;
    if (w->is_console) {
        write_console(bytes, length, newline);
        return;
    }
    if (w->pending_newline) {
        if (length) {
            w->pending_newline = 0;
            new_line();
        } else if (newline) {
            w->pending_newline = 0;
        }
    }
    bool wrapped = false;
    bool controls_act = !control_codes_off && !drawing_soft_keys;
    bool runs = can_draw_glyph_run();
    for (size_t i = 0; i < length; ++i) {
        if (runs) {
            // Printable characters short of the last column need no edge
            // rule: draw them in one pass.
            size_t n = 0, room = size_t(std::max(columns_of(w) - w->cursor_column, 0));
            while (n < room && i + n < length && !(controls_act && is_acting_control(bytes[i + n])))
                ++n;
            if (n > 1) {
                draw_glyph_run(bytes + i, int32_t(n));
                w->cursor_column = int16_t(w->cursor_column + n);
                wrapped = false;
                i += n - 1;
                continue;
            }
        }
        uint8_t c = bytes[i];
        bool last = i + 1 == length;
        if (controls_act && c == 9) {
            bool again;
            do {
                again = (w->cursor_column & 7) != 0;
                wrapped = put_printable(w, 32, last, newline);
            } while (again && !wrapped && !w->pending_newline);
            if (w->pending_newline) break;
            continue;
        }
        if (controls_act && is_acting_control(c)) {
            cursor_control(w, c);
            wrapped = false;
            continue;
        }
        wrapped = put_printable(w, c, last, newline);
    }
    if (newline && !wrapped) new_line();
}

void view_print(int32_t top, int32_t bottom) {
    ImageRecord* w = write_image;
    w->view_print_top = int16_t(top);
    w->view_print_bottom = int16_t(bottom);
    w->cursor_row = int16_t(top);
    w->cursor_column = 1;
    w->pending_newline = 0;
}

// WIDTH 80, 50 on the start-up screen, keeping the 25 rows on top.
void enlarge_start_up_screen() {
    uint8_t saved[4000];
    uint8_t* video = ConventionalMemory + TEXT_VIDEO_MEMORY;
    std::memcpy(saved, video, sizeof saved);
    uint32_t foreground = write_image->foreground, background = write_image->background;
    pending_text_columns = 80;
    pending_text_rows = 50;
    pending_text_font = 8;
    set_screen_mode(0, 0, 0, 0, 0, 1);
    std::memcpy(ConventionalMemory + TEXT_VIDEO_MEMORY, saved, sizeof saved);
    write_image->foreground = foreground;
    write_image->background = background;
}

}  // namespace

void new_line() {
    ImageRecord* w = write_image;
    w->cursor_row++;
    w->cursor_column = 1;
    if (w->cursor_row > w->view_print_bottom) {
        scroll_window(w);
        w->cursor_row = w->view_print_bottom;
    }
}

void print_bytes(const uint8_t* bytes, size_t length, int32_t newline) {
    if (pending_error.load()) return;
    print_text(bytes, length, newline);
}

void print_string(const BasicString* text, int32_t newline) {
    if (text) print_bytes(text->chars, size_t(std::max(text->length, 0)), newline);
    else print_bytes(nullptr, 0, newline);
}

void start_print_bytes(size_t length) {
    ImageRecord* w = write_image;
    if (w->pending_newline || w->cursor_column == 1 || w->is_console) return;
    bool too_long = w->is_text
                        ? int64_t(w->cursor_column) + int64_t(length) - 1 > w->width
                        : int64_t(w->cursor_column - 1) * font_width[w->font] + 8 * int64_t(length) > w->width;
    if (too_long) new_line();
}

void start_print_item(const BasicString* item) {
    start_print_bytes(item ? size_t(std::max(item->length, 0)) : 0);
}

void next_print_zone() {
    ImageRecord* w = write_image;
    if (w->pending_newline) {
        new_line();
        w->pending_newline = 0;
        return;
    }
    int32_t columns = columns_of(w);
    static const uint8_t space = 32;
    for (;;) {
        print_text(&space, 1, 0);
        int32_t c = w->cursor_column;
        if (c == 1 || ((c - 1) % 14 == 0 && c <= columns - 13) || c >= columns ||
            w->pending_newline)
            break;
    }
}

void set_cursor(int32_t row, int32_t column, int32_t shown, int32_t start, int32_t stop,
                uint32_t flags) {
    if (pending_error.load()) return;
    ImageRecord* w = write_image;
    bool row_given = flags & 1, column_given = flags & 2, shown_given = flags & 4;
    bool start_given = flags & 8, stop_given = flags & 16;
    if (row_given) {
        if (row < w->view_print_top) {
            raise_error(5);
            return;
        }
        if (row > w->view_print_bottom && row != rows_of(w)) {
            if (!initial_screen) {
                raise_error(5);
                return;
            }
            initial_screen = 0;
            if (row > 50 || (column_given && (column < 1 || column > columns_of(w)))) {
                raise_error(5);
                return;
            }
            enlarge_start_up_screen();
            w = write_image;
        }
    }
    if ((column_given && (column < 1 || column > columns_of(w))) ||
        (shown_given && shown != 0 && shown != 1) ||
        (start_given && (start < 0 || start > 31)) || (stop_given && (stop < 0 || stop > 31))) {
        raise_error(5);
        return;
    }
    if (row_given) {
        w->cursor_row = int16_t(row);
        w->pending_newline = 0;
    }
    if (column_given) {
        w->cursor_column = int16_t(column);
        w->pending_newline = 0;
    }
    if (!row_given && !column_given && w->pending_newline) w->pending_newline = 2;
    bool page = w->image_flags & DISPLAY_PAGE;
    if (shown_given) w->cursor_visible = shown ? 1 : 0;
    if (start_given) w->cursor_start = uint8_t(start);
    if (stop_given) w->cursor_stop = uint8_t(stop);
    if (page && (shown_given || start_given || stop_given))
        for (int32_t p = 0; p < page_count(); ++p)
            if (int32_t index = page_image_index(p)) {
                ImageRecord* other = image_at(index);
                if (shown_given) other->cursor_visible = w->cursor_visible;
                if (start_given || stop_given) {
                    other->cursor_start = w->cursor_start;
                    other->cursor_stop = w->cursor_stop;
                }
            }
}

void set_view_print(int32_t top, int32_t bottom, int32_t given) {
    if (pending_error.load()) return;
    int32_t rows = rows_of(write_image);
    if (!given) {
        view_print(1, rows);
        return;
    }
    if (top < 1 || top > bottom || bottom > rows) {
        raise_error(5);
        return;
    }
    view_print(top, bottom);
}

void clear_screen(int32_t kind, int64_t colour, uint32_t flags) {
    if (pending_error.load()) return;
    ImageRecord* w = write_image;
    bool kind_given = flags & 1, colour_given = flags & 2;
    if ((colour_given && w->bits_per_pixel != 32 && (colour < 0 || colour > w->colour_mask)) ||
        (kind_given && (kind < 0 || kind > 2))) {
        raise_error(5);
        return;
    }
    uint32_t fill = colour_given ? uint32_t(colour) : w->background;
    w->cursor_row = w->view_print_top;
    w->cursor_column = 1;
    w->pending_newline = 0;
    w->draw_angle = 0.0;
    w->draw_scale = 1.0;
    int32_t top = w->view_print_top, bottom = w->view_print_bottom, rows = rows_of(w);
    if (w->is_text) {
        uint8_t attribute = uint8_t((((fill & 7) * 2 | (w->foreground & 16)) * 8) | (w->foreground & 15));
        if (kind_given && kind == 1) return;
        if (kind_given && kind == 2) {
            fill_cells(w, top, bottom, attribute);
            return;
        }
        if (kind_given) {
            fill_cells(w, 1, rows, attribute);
        } else {
            fill_cells(w, top, bottom, attribute);
            fill_cells(w, rows, rows, attribute);
        }
        draw_soft_key_line(1);
        return;
    }
    if (kind_given && kind == 2) {
        int32_t fh = font_height[w->font];
        fill_pixel_rows(w, (top - 1) * fh, (bottom - top + 1) * fh, fill);
        return;
    }
    if (kind_given && kind == 0) {
        fill_pixel_rows(w, 0, w->height, fill);
    } else if (w->coordinate_mode != 0) {
        fill_box(std::max(w->view_x1, 0), std::max(w->view_y1, 0),
                 std::min(w->view_x2, int32_t(w->width) - 1),
                 std::min(w->view_y2, int32_t(w->height) - 1), fill);
    } else {
        fill_box(0, 0, w->width - 1, w->height - 1, fill);
    }
    float x = float(w->view_x2 - w->view_x1 + 1) / 2, y = float(w->view_y2 - w->view_y1 + 1) / 2;
    if (w->coordinate_mode == 2) {
        x = x / w->scale_x + w->offset_x;
        y = y / w->scale_y + w->offset_y;
    }
    w->graphics_x = x;
    w->graphics_y = y;
    draw_soft_key_line(1);
}

int32_t current_row() {
    const ImageRecord* w = write_image;
    if (!w->pending_newline) return w->cursor_row;
    return w->cursor_row < w->view_print_bottom ? w->cursor_row + 1 : w->view_print_bottom;
}

int32_t current_column(int32_t) { return write_image->pending_newline ? 1 : write_image->cursor_column; }

void set_control_codes(int32_t n) { control_codes_off = n == 2 ? 1 : 0; }
