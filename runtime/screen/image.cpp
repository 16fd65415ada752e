// The image table, the page table and the internal image operations.
#include "runtime/screen/image.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/sleep.h"
#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/palette.h"

// Blocks of IMAGE_TABLE_GROWTH zeroed records; a record never moves.
static ImageRecord** image_blocks = nullptr;
static int32_t image_block_count = 0;
int32_t image_high_water = 0;

static int32_t* free_indices = nullptr;
static int32_t free_index_count = 0;
static int32_t free_index_capacity = 0;

static int32_t* page_table = nullptr;
static int32_t page_table_size = 0;
// Past this many pages the table is not grown: the entries alone would
// take gigabytes, and no screen has that many pages.
static constexpr int32_t PAGE_TABLE_LIMIT = 1 << 20;

int32_t write_image_index = 0;
ImageRecord* write_image = nullptr;
int32_t read_image_index = 0;
ImageRecord* read_image = nullptr;
std::atomic<int32_t> display_image_index{0};
std::atomic<ImageRecord*> display_image{nullptr};

int32_t initial_screen = 1;
int32_t pending_text_columns = -1;
int32_t pending_text_rows = -1;
int32_t pending_text_font = -1;
int32_t screen_is_user_image = 0;
std::atomic<int32_t> display_cache_valid{0};
int32_t last_active_page = 0;

void (*image_lock_release_hook)(uint64_t lock_id) = nullptr;

ImageRecord* image_at(int32_t index) {
    return &image_blocks[index / IMAGE_TABLE_GROWTH][index % IMAGE_TABLE_GROWTH];
}

int32_t image_table_size() { return image_block_count * IMAGE_TABLE_GROWTH; }

static bool grow_image_table() {
    auto blocks = static_cast<ImageRecord**>(
        std::realloc(image_blocks, sizeof(ImageRecord*) * (image_block_count + 1)));
    if (!blocks) return false;
    image_blocks = blocks;
    auto block = static_cast<ImageRecord*>(std::calloc(IMAGE_TABLE_GROWTH, sizeof(ImageRecord)));
    if (!block) return false;
    image_blocks[image_block_count++] = block;
    return true;
}

static bool grow_free_indices() {
    auto grown = static_cast<int32_t*>(
        std::realloc(free_indices, sizeof(int32_t) * (free_index_capacity + IMAGE_TABLE_GROWTH)));
    if (!grown) return false;
    free_indices = grown;
    free_index_capacity += IMAGE_TABLE_GROWTH;
    return true;
}

void image_table_startup() {
    if (image_block_count == 0 && !grow_image_table()) raise_error(502);
    if (free_index_capacity == 0 && !grow_free_indices()) raise_error(503);
    // Index 0 means "no image" in the page table; handle -1 is the failure
    // result of image creation. Neither ever names an image.
    if (image_high_water < 2) image_high_water = 2;
    if (page_table_size == 0) {
        page_table = static_cast<int32_t*>(std::calloc(1, sizeof(int32_t)));
        page_table_size = 1;
    }
}

int32_t new_image_record() {
    int32_t index;
    if (free_index_count > 0) {
        index = free_indices[--free_index_count];
    } else {
        if (image_high_water >= image_table_size() && !grow_image_table()) {
            raise_error(502);
            return 0;
        }
        index = image_high_water++;
    }
    image_at(index)->valid = 1;
    return index;
}

int32_t release_image_record(int32_t index) {
    if (index < 0 || index >= image_table_size() || !image_at(index)->valid) return 0;
    ImageRecord* image = image_at(index);
    if (image->lock_id && image_lock_release_hook) image_lock_release_hook(image->lock_id);
    std::memset(static_cast<void*>(image), 0, sizeof(ImageRecord));
    if (free_index_count == free_index_capacity && !grow_free_indices()) {
        raise_error(503);
        return 1;
    }
    free_indices[free_index_count++] = index;
    return 1;
}

void free_image_memory(int32_t index) {
    ImageRecord* image = image_at(index);
    if (image->image_flags & OWNS_PIXELS) std::free(image->pixels);
    if (image->image_flags & OWNS_PALETTE) std::free(image->palette);
    release_image_record(index);
}

int32_t text_rows_of(const ImageRecord* image) {
    if (image->is_text) return image->height;
    int32_t h = font_height[image->font];
    return h > 0 ? image->height / h : image->height;
}

int32_t text_columns_of(const ImageRecord* image) {
    if (image->is_text) return image->width;
    int32_t w = font_width[image->font];
    return w > 0 ? image->width / w : image->width;
}

static void reset_text_window(ImageRecord* image) {
    int32_t bottom = text_rows_of(image) - 1;
    image->cursor_row = 1;
    image->cursor_column = 1;
    image->pending_newline = 0;
    image->view_print_top = 1;
    image->view_print_bottom = int16_t(bottom < 1 ? 1 : bottom);
}

// Steps 2 to 8 of making a record, over a record whose pixels, size and
// palette memory are already in place.
static void apply_mode_defaults(ImageRecord* image) {
    uint16_t mode = image->mode;
    image->bytes_per_pixel = 1;
    image->font = 16;
    image->foreground = 15;
    image->background = 0;
    image->print_mode = 3;
    image->draw_angle = 0.0;
    image->draw_scale = 1.0;
    image->is_text = 0;
    switch (mode) {
    case 0:
        image->bits_per_pixel = 16;
        image->bytes_per_pixel = 2;
        image->foreground = 7;
        image->is_text = 1;
        image->cursor_visible = 0;
        image->cursor_start = 4;
        image->cursor_stop = 4;
        break;
    case 1: image->bits_per_pixel = 2; image->font = 8; image->foreground = 3; break;
    case 2: image->bits_per_pixel = 1; image->font = 8; image->foreground = 1; break;
    case 7:
    case 8: image->bits_per_pixel = 4; image->font = 8; break;
    case 9: image->bits_per_pixel = 4; image->font = 14; break;
    case 10: image->bits_per_pixel = 2; image->font = 14; image->foreground = 3; break;
    case 11: image->bits_per_pixel = 1; image->foreground = 1; break;
    case 12: image->bits_per_pixel = 4; break;
    case 13: image->bits_per_pixel = 8; image->font = 8; break;
    case 256: image->bits_per_pixel = 8; break;
    case 32:
        image->bits_per_pixel = 32;
        image->bytes_per_pixel = 4;
        image->foreground = 0xFFFFFFFF;
        image->background = 0xFF000000;
        break;
    }
    image->draw_colour = image->foreground;
    if (image->palette) {
        set_default_palette(image);
        image->transparent_colour = -1;
    }
    image->colour_mask = image->bits_per_pixel > 31 ? 0xFFFFFFFFu
                                                    : (1u << image->bits_per_pixel) - 1;
    reset_text_window(image);
    if (!image->is_text) {
        image->graphics_x = float(image->width) / 2;
        image->graphics_y = float(image->height) / 2;
        image->view_x2 = image->width - 1;
        image->view_y2 = image->height - 1;
        image->scale_x = 1.0f;
        image->scale_y = 1.0f;
        image->window_x2 = float(image->width - 1);
        image->window_y2 = float(image->height - 1);
    }
}

int32_t init_image_record(uint8_t* pixels, int32_t width, int32_t height, int32_t mode) {
    // The record keeps sizes in 16 bits; anything larger could not be
    // described by it.
    if (width < 1 || height < 1 || width > 65535 || height > 65535) return 0;
    int32_t index = new_image_record();
    if (!index) return 0;
    ImageRecord* image = image_at(index);
    image->pixels = pixels;
    image->width = uint16_t(width);
    image->height = uint16_t(height);
    image->mode = uint16_t(mode);
    if (mode != 32) {
        image->palette = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
        if (!image->palette) {
            release_image_record(index);
            return 0;
        }
        image->image_flags |= OWNS_PALETTE;
    }
    apply_mode_defaults(image);
    return index;
}

static void clear_cells(uint8_t* cells, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        cells[2 * i] = 32;
        cells[2 * i + 1] = 7;
    }
}

static size_t pixel_bytes(const ImageRecord* image) {
    return size_t(image->width) * image->height * image->bytes_per_pixel;
}

int32_t alloc_image(int32_t width, int32_t height, int32_t mode) {
    int32_t index = init_image_record(nullptr, width, height, mode);
    if (!index) return 0;
    ImageRecord* image = image_at(index);
    if (mode == 32 && !BLEND_TABLE) make_blend_tables();
    image->pixels = static_cast<uint8_t*>(mode == 0 ? std::malloc(pixel_bytes(image))
                                                    : std::calloc(pixel_bytes(image), 1));
    if (!image->pixels) {
        free_image_memory(index);
        return 0;
    }
    if (mode == 0) clear_cells(image->pixels, size_t(width) * height);
    image->image_flags |= OWNS_PIXELS;
    return index;
}

void reset_image_defaults(int32_t index) {
    ImageRecord* image = image_at(index);
    apply_mode_defaults(image);
    if (image->is_text)
        clear_cells(image->pixels, size_t(image->width) * image->height);
    else
        std::memset(image->pixels, 0, pixel_bytes(image));
}

void apply_font(int32_t font, ImageRecord* image) {
    image->font = font;
    reset_text_window(image);
}

int32_t page_count() { return page_table_size; }

int32_t page_image_index(int32_t page) {
    return page >= 0 && page < page_table_size ? page_table[page] : 0;
}

static bool grow_page_table(int32_t entries) {
    if (entries <= page_table_size) return true;
    if (entries > PAGE_TABLE_LIMIT) return false;
    auto grown = static_cast<int32_t*>(std::realloc(page_table, sizeof(int32_t) * entries));
    if (!grown) return false;
    std::memset(grown + page_table_size, 0, sizeof(int32_t) * (entries - page_table_size));
    page_table = grown;
    page_table_size = entries;
    return true;
}

static void shrink_page_table() {
    page_table_size = 1;
    page_table[0] = 0;
}

static void set_page(int32_t page, int32_t index) { page_table[page] = index; }

int32_t ensure_page(int32_t page) {
    if (page < 0) return 0;
    if (!grow_page_table(page + 1)) {
        raise_error(7);
        return 0;
    }
    if (page_table[page]) return page_table[page];
    ImageRecord* first = image_at(page_table[0]);
    int32_t index = alloc_image(first->width, first->height, first->mode);
    if (!index) {
        raise_error(7);
        return 0;
    }
    ImageRecord* image = image_at(index);
    if (image->bits_per_pixel != 32) {
        std::free(image->palette);
        image->image_flags &= ~OWNS_PALETTE;
        image->palette = first->palette;
    }
    image->image_flags |= DISPLAY_PAGE;
    apply_font(first->font, image);
    set_page(page, index);
    return index;
}

static bool valid_handle_index(int64_t index) {
    return index >= 2 && index < image_high_water && image_at(int32_t(index))->valid;
}

int32_t resolve_image(int32_t argument, int32_t given) {
    if (!given) return write_image_index;
    if (argument < 0) {
        int64_t index = -int64_t(argument);
        if (!valid_handle_index(index)) {
            raise_error(258);
            return 0;
        }
        return int32_t(index);
    }
    return ensure_page(argument);
}

void reset_page_colours() {
    ImageRecord* image = write_image;
    image->foreground = 15;
    image->background = 0;
    switch (image->mode) {
    case 0: image->foreground = 7; break;
    case 1:
    case 10: image->foreground = 3; break;
    case 2:
    case 11: image->foreground = 1; break;
    case 32: image->foreground = 0xFFFFFFFF; image->background = 0xFF000000; break;
    }
    image->draw_colour = image->foreground;
}

void set_display_image(int32_t index) {
    display_image_index = index;
    display_image = index ? image_at(index) : nullptr;
}

bool pause_frame_builder() {
    if (!auto_display.load() || !housekeeping_started.load()) return false;
    int32_t expected = 0;
    frame_pause.compare_exchange_strong(expected, 1);
    while (frame_pause.load() != 2) platform_sleep_ms(1);
    return true;
}

void release_frame_builder(bool paused) {
    if (paused) frame_pause = 0;
}

// The page table and the current images after a mode change; the screen
// module proper (SCREEN, PCOPY) lives in screen_mode.cpp.
void discard_display_pages() {
    for (int32_t page = 1; page < page_table_size; ++page)
        if (page_table[page]) free_image_memory(page_table[page]);
    int32_t first = page_table[0];
    if (first) {
        if (screen_is_user_image)
            image_at(first)->image_flags &= ~DISPLAY_PAGE;
        else
            free_image_memory(first);
    }
    screen_is_user_image = 0;
    shrink_page_table();
}

bool set_page_entry(int32_t page, int32_t index) {
    if (!grow_page_table(page + 1)) return false;
    set_page(page, index);
    return true;
}
