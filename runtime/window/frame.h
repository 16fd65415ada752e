// Finished pictures of the display image, and the ring that hands them
// from the frame builder (one writer) to the display callback (one reader).
#pragma once
#include <atomic>
#include <cstdint>

struct FrameSlot {
    uint32_t* pixels;  // width × height BGRA pixels, top row first; null when empty
    int32_t width;
    int32_t height;
    int32_t byte_size;
    std::atomic<uint8_t> superseded;  // set by the reader: a newer frame was seen
    std::atomic<uint8_t> shown;       // set by the reader: this frame was drawn
    uint64_t generation;              // builder only: which build the pixels hold
};

constexpr int32_t FRAME_RING_SIZE = 64;
// Slots 1..64; slot 0 is never used.
extern FrameSlot frame_ring[FRAME_RING_SIZE + 1];
// 0 while no frame exists. The writer publishes a slot by storing newest.
extern std::atomic<int32_t> frame_oldest;
extern std::atomic<int32_t> frame_newest;

inline int32_t next_frame_slot(int32_t slot) { return slot == FRAME_RING_SIZE ? 1 : slot + 1; }

// What the builder reads of the display image, with the font resolved.
struct FrameSource {
    int32_t mode;             // 0 text
    int32_t width, height;    // cells for text, pixels otherwise
    int32_t bits_per_pixel;   // 16 text; 1, 2, 4, 8 palette; 32
    const uint8_t* pixels;    // cells (character, attribute) or pixels
    uint32_t* palette;        // 256 entries; none for 32-bit pages
    // Text pages: the font, as one byte per glyph pixel (non-zero ink).
    const uint8_t* glyphs;
    int32_t glyph_bytes;      // bytes from one glyph to the next
    int32_t glyph_offset;     // bytes skipped at the top of each glyph
    int32_t font_width, font_height;  // of a cell in the frame
    bool double_width;        // each glyph pixel covers two frame pixels
    int32_t cursor_column, cursor_row;  // 1-based
    int32_t cursor_visible, cursor_start, cursor_stop;
    int32_t pending_newline;
    const uint32_t (*mode10_levels)[9];  // mode 10 only
};

// Frame sizes of a source: text cells times the font, else pixels.
int32_t frame_width_of(const FrameSource& source);
int32_t frame_height_of(const FrameSource& source);

// The steps of build_frame after the pause handshake: builds and
// publishes a frame of source if anything changed. True if it did.
bool build_frame_from(const FrameSource& source);

// Rows of a text cell covered by the cursor: first..last, or first > last
// for none.
struct CursorRows {
    int32_t first, last;
};
CursorRows cursor_rows(int32_t start, int32_t stop, int32_t font_height);

// The frame builder (housekeeping thread, or the program via display_now).
void build_frame();
// Presents the page now and leaves automatic display off.
void display_now();
void set_auto_display();

// The reader's side: flags every frame older than the newest as
// superseded and returns the newest slot (0 when none).
int32_t supersede_older_frames();

// Frees every frame and forgets the previous page (tests, start-up).
void frame_ring_reset();
