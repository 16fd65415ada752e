// Images, display pages and screen modes: the image table, the page table,
// SCREEN and PCOPY, and the operations that make, find and release images.
#pragma once
#include <atomic>
#include <cstdint>

struct ImageRecord {
    void* lock;                 // memory-block lock record, none when never exposed
    uint64_t lock_id;           // 0 = none
    uint8_t valid;
    uint8_t is_text;
    uint8_t is_console;
    uint16_t width;             // pixels; character cells for text images
    uint16_t height;            // pixels; character rows for text images
    uint8_t bytes_per_pixel;    // 1, 2 (text cell) or 4
    uint8_t bits_per_pixel;     // 1, 2, 4, 8, 16 (text) or 32
    uint32_t colour_mask;
    uint16_t mode;
    uint32_t foreground;
    uint32_t background;
    uint32_t draw_colour;
    int32_t font;
    int16_t view_print_top;
    int16_t view_print_bottom;
    int16_t cursor_column;
    int16_t cursor_row;
    uint8_t cursor_visible;
    uint8_t cursor_start;
    uint8_t cursor_stop;
    uint8_t* pixels;
    uint32_t image_flags;
    uint32_t* palette;          // 256 entries; none in mode 32
    int32_t transparent_colour; // -1 = none
    uint8_t blend_disabled;
    uint8_t pending_newline;    // 0 none, 1 owed, 2 owed and shown on the next row
    uint8_t print_mode;         // 1 keep background, 2 only background, 3 fill
    // Graphics state.
    int32_t view_x1, view_y1, view_x2, view_y2;
    int32_t view_origin_x, view_origin_y;
    float graphics_x, graphics_y;
    uint8_t coordinate_mode;    // 0 pixels, 1 viewport, 2 viewport with WINDOW
    float scale_x, scale_y, offset_x, offset_y;
    float window_x1, window_y1, window_x2, window_y2;
    double draw_angle;
    double draw_scale;
};

constexpr uint32_t OWNS_PALETTE = 1;
constexpr uint32_t DISPLAY_PAGE = 2;
constexpr uint32_t OWNS_PIXELS = 4;

// Records live in blocks of IMAGE_TABLE_GROWTH that never move, so a record
// pointer stays good while the table grows (the frame builder holds one).
constexpr int32_t IMAGE_TABLE_GROWTH = 4096;

// Linear addresses of the video memory in ConventionalMemory.
constexpr uint32_t TEXT_VIDEO_MEMORY = 0xB8000;
constexpr uint32_t GRAPHICS_VIDEO_MEMORY = 0xA0000;

ImageRecord* image_at(int32_t index);   // any index below image_table_size()
int32_t image_table_size();
extern int32_t image_high_water;        // indices ever handed out

// The page table: page number -> image index, 0 = not made yet.
int32_t page_count();
int32_t page_image_index(int32_t page);  // 0 for a page past the end

// The current images. The display image is read by the frame builder.
extern int32_t write_image_index;
extern ImageRecord* write_image;
extern int32_t read_image_index;
extern ImageRecord* read_image;
extern std::atomic<int32_t> display_image_index;
extern std::atomic<ImageRecord*> display_image;
void set_display_image(int32_t index);

// Shared values.
extern int32_t initial_screen;
extern int32_t pending_text_columns;
extern int32_t pending_text_rows;
extern int32_t pending_text_font;
extern int32_t screen_is_user_image;
extern std::atomic<int32_t> display_cache_valid;
extern int32_t last_active_page;

// Called with the lock id of a released record; the memory-block registry
// installs it (none by default).
extern void (*image_lock_release_hook)(uint64_t lock_id);

// SCREEN. flags: bit 0 mode, bit 1 colour switch, bit 2 active page,
// bit 3 visual page given. A negative mode is an image handle.
void set_screen_mode(int32_t mode, int32_t colour_switch, int32_t active_page,
                     int32_t visual_page, int32_t ignored, uint32_t flags);
// PCOPY.
void copy_page(int32_t source, int32_t destination);

// Internal operations.
int32_t new_image_record();
int32_t release_image_record(int32_t index);
int32_t init_image_record(uint8_t* pixels, int32_t width, int32_t height, int32_t mode);
int32_t alloc_image(int32_t width, int32_t height, int32_t mode);
void free_image_memory(int32_t index);  // owned pixels and palette, then the record
void reset_image_defaults(int32_t index);
void apply_font(int32_t font, ImageRecord* image);
int32_t ensure_page(int32_t page);      // image index, 0 when it could not be made
int32_t resolve_image(int32_t argument, int32_t given);  // image index, 0 after an error
void reset_page_colours();

// For SCREEN: frees every display page (page 0 stays the program's when it
// was given as a handle) and empties the page table; sets one entry.
void discard_display_pages();
bool set_page_entry(int32_t page, int32_t index);

// Derived text sizes (rows: height in cells or height / font height).
int32_t text_rows_of(const ImageRecord* image);
int32_t text_columns_of(const ImageRecord* image);

// The frame_pause handshake, used only while frames are built
// automatically and the housekeeping thread runs. Returns whether it paused.
bool pause_frame_builder();
void release_frame_builder(bool paused);

// Start-up step 9, END's prompt.
void image_table_startup();
