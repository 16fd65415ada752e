// The function-key label line on the last row of page 0, KEY and END's
// prompt.
#include <cstring>
#include <string>

#include "runtime/core/errors.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/screen/text.h"

int32_t soft_keys_on = 0;
extern bool drawing_soft_keys;

namespace {

int32_t soft_keys_shown = 0;
std::string soft_key_texts[32];  // keys 1 to 10, 30 and 31

const std::string& key_text(int32_t k) { return soft_key_texts[k <= 10 ? k : k + 19]; }

// Control codes in a label are shown as these glyphs instead.
uint8_t label_glyph(uint8_t c) {
    switch (c) {
    case 7: return 14;
    case 8: return 254;
    case 9: return 26;
    case 10: return 60;
    case 11: return 127;
    case 12: return 22;
    case 13: return 27;
    case 28: return 16;
    case 29: return 17;
    case 30: return 24;
    case 31: return 25;
    default: return c;
    }
}

void put_label_glyph(ImageRecord* page, uint8_t c) {
    draw_glyph(c);
    page->cursor_column++;
}

void draw_labels(ImageRecord* page, int32_t row, int32_t columns) {
    int32_t slot = columns / 12, used = slot * 12;
    if (slot <= 7) {
        slot = 8;
        used = columns / 8 * 8;
    }
    if (columns < 8) slot = used = columns;
    uint32_t foreground = page->foreground, background = page->background;
    for (int32_t k = 1; k <= 12 && (k - 1) * slot + 1 < used; ++k) {
        page->cursor_row = int16_t(row);
        page->cursor_column = int16_t((k - 1) * slot + 1);
        page->foreground = foreground;
        page->background = background;
        std::string number = std::to_string(k);
        for (char digit : number) put_label_glyph(page, uint8_t(digit));
        const std::string& text = key_text(k);
        if (text.empty()) continue;
        if (page->is_text) {
            page->foreground = background != 0 ? 7 : 0;
            page->background = background != 0 ? 0 : 7;
        }
        size_t i = 0;
        while (page->cursor_column < k * slot && page->cursor_column <= columns) {
            uint8_t c = i < text.size() ? label_glyph(uint8_t(text[i++])) : 32;
            put_label_glyph(page, c);
        }
    }
}

}  // namespace

void draw_soft_key_line(int32_t forced) {
    if (forced) {
        if (!soft_keys_on) return;
    } else {
        if (soft_keys_on == soft_keys_shown) return;
        soft_keys_shown = soft_keys_on;
    }
    int32_t page_index = page_image_index(0);
    if (!page_index) return;
    ImageRecord* saved_write = write_image;
    int32_t saved_index = write_image_index;
    ImageRecord* page = image_at(page_index);
    write_image = page;
    write_image_index = page_index;
    int16_t row = page->cursor_row, column = page->cursor_column;
    uint8_t pending = page->pending_newline;
    uint32_t foreground = page->foreground, background = page->background;
    drawing_soft_keys = true;

    int32_t rows = text_rows_of(page), columns = text_columns_of(page);
    if (page->is_text) {
        page->cursor_row = int16_t(rows);
        for (int32_t c = 1; c <= columns; ++c) {
            page->cursor_column = int16_t(c);
            draw_glyph(32);
        }
    } else {
        int32_t fh = font_height[page->font];
        uint32_t fill = page->bytes_per_pixel == 4 ? background | 0xFF000000 : background;
        for (int32_t y = (rows - 1) * fh; y < rows * fh; ++y)
            for (int32_t x = 0; x < page->width; ++x) {
                size_t at = size_t(y) * page->width + x;
                if (page->bytes_per_pixel == 1) page->pixels[at] = uint8_t(fill & page->colour_mask);
                else reinterpret_cast<uint32_t*>(page->pixels)[at] = fill;
            }
    }
    if (soft_keys_on) draw_labels(page, rows, columns);

    drawing_soft_keys = false;
    page->cursor_row = row;
    page->cursor_column = column;
    page->pending_newline = pending;
    page->foreground = foreground;
    page->background = background;
    write_image = saved_write;
    write_image_index = saved_index;
}

void set_soft_key_text(int32_t key, const uint8_t* text, size_t length) {
    if (pending_error.load()) return;
    if (!((key >= 1 && key <= 10) || key == 30 || key == 31) || length > 15) {
        raise_error(5);
        return;
    }
    soft_key_texts[key].assign(reinterpret_cast<const char*>(text), length);
    draw_soft_key_line(1);
}

void set_soft_keys_on(int32_t on) {
    if (pending_error.load()) return;
    soft_keys_on = on ? 1 : 0;
    draw_soft_key_line(0);
}

void list_soft_keys() {
    if (pending_error.load()) return;
    for (int32_t k = 1; k <= 12; ++k) {
        std::string line = "F" + std::to_string(k) + (k <= 9 ? "  " : " ");
        for (char c : key_text(k)) {
            uint8_t u = uint8_t(c);
            line += (u >= 7 && u <= 13) || (u >= 28 && u <= 31) ? ' ' : c;
        }
        print_bytes(reinterpret_cast<const uint8_t*>(line.data()), line.size(), 1);
    }
}

void end_show_prompt() {
    int32_t index = display_image_index.load();
    write_image_index = index;
    write_image = image_at(index);
    int32_t rows = text_rows_of(write_image);
    write_image->view_print_top = int16_t(rows);
    write_image->view_print_bottom = int16_t(rows);
    write_image->cursor_row = int16_t(rows);
    write_image->cursor_column = 1;
    write_image->pending_newline = 0;
    static const char prompt[] = "Press any key to continue";
    print_bytes(nullptr, 0, 1);
    print_bytes(reinterpret_cast<const uint8_t*>(prompt), sizeof prompt - 1, 0);
}
