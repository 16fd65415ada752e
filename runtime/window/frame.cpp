// The frame builder and the frame ring's writer side.
#include "runtime/window/frame.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/process.h"
#include "runtime/core/clock.h"
#include "runtime/core/state.h"

#include "runtime/screen/image.h"

FrameSlot frame_ring[FRAME_RING_SIZE + 1];
std::atomic<int32_t> frame_oldest{0};
std::atomic<int32_t> frame_newest{0};

namespace {

// The builder's copy of the page it converted last.
struct PreviousPage {
    std::vector<uint8_t> cells = std::vector<uint8_t>(1);
    uint32_t text_palette[256] = {};
    std::vector<uint8_t> indices = std::vector<uint8_t>(1);
    std::vector<uint32_t> palette;
    // Palette pages: the build in which each row last changed (every row
    // after a change of palette, size or kind of page), so that a recycled
    // buffer needs only the rows that changed since the build it holds.
    std::vector<uint64_t> row_changed;
    uint64_t last_palette_build = 0;
    int32_t blink = -1;
    int32_t cursor_column = -1, cursor_row = -1;
    int32_t cursor_shape = -1;  // visible, start and stop together
} previous;

bool among_four_newest(int32_t slot, int32_t newest) {
    for (int i = 0; i < 4; ++i) {
        if (slot == newest) return true;
        newest = newest == 1 ? FRAME_RING_SIZE : newest - 1;
    }
    return false;
}

void free_superseded_frames() {
    int32_t newest = frame_newest.load();
    for (int32_t oldest = frame_oldest.load(); oldest && !among_four_newest(oldest, newest);) {
        FrameSlot& slot = frame_ring[oldest];
        if (!slot.superseded.load(std::memory_order_acquire)) break;
        std::free(slot.pixels);
        slot.pixels = nullptr;
        oldest = next_frame_slot(oldest);
        frame_oldest = oldest;
    }
}

bool ring_full() {
    int32_t oldest = frame_oldest.load();
    return oldest && (oldest == 1 ? FRAME_RING_SIZE + 1 : oldest) == frame_newest.load() + 1;
}

// The slot after the newest, with a buffer of the right size: recycled
// from a superseded oldest frame when one fits.
FrameSlot& take_slot(int32_t width, int32_t height) {
    int32_t index = next_frame_slot(frame_newest.load());
    FrameSlot& slot = frame_ring[index];
    if (slot.pixels) platform_exit(9090);
    slot.generation = 0;  // a new buffer holds no build
    slot.width = width;
    slot.height = height;
    slot.byte_size = width * height * 4;
    slot.superseded = 0;
    slot.shown = 0;
    int32_t oldest = frame_oldest.load();
    FrameSlot& old = frame_ring[oldest];
    if (oldest && oldest != frame_newest.load() && old.superseded.load(std::memory_order_acquire) &&
        old.byte_size == slot.byte_size && old.pixels) {
        slot.pixels = old.pixels;
        slot.generation = old.generation;
        old.pixels = nullptr;
        frame_oldest = next_frame_slot(oldest);
    } else {
        slot.pixels = static_cast<uint32_t*>(std::malloc(size_t(slot.byte_size ? slot.byte_size : 4)));
    }
    return slot;
}

// Counts the frames built; a buffer remembers the build its pixels hold.
uint64_t builds = 0;

void publish() {
    int32_t index = next_frame_slot(frame_newest.load());
    frame_ring[index].generation = ++builds;
    display_cache_valid = 1;
    frame_newest.store(index, std::memory_order_release);
    if (frame_oldest.load() == 0) frame_oldest = index;
}

// ---- text pages ----

void paint_cell(const FrameSource& s, uint32_t* frame, int32_t frame_width, int32_t column, int32_t row,
                uint8_t character, uint8_t attribute, int32_t blink, bool cursor_here) {
    uint32_t fg_index = attribute & 0x0F, bg_index = (attribute >> 4) & 0x07;
    uint32_t background = s.palette[bg_index];
    uint32_t foreground = (attribute & 0x80) && blink ? background : s.palette[fg_index];
    const uint8_t* glyph = s.glyphs + size_t(character) * s.glyph_bytes + s.glyph_offset;
    int32_t scale = s.double_width ? 2 : 1;
    uint32_t* origin = frame + size_t(row) * s.font_height * frame_width + size_t(column) * s.font_width;
    for (int32_t y = 0; y < s.font_height; ++y) {
        uint32_t* out = origin + size_t(y) * frame_width;
        const uint8_t* bits = glyph + y * 8;
        for (int32_t x = 0; x < s.font_width; ++x) out[x] = bits[x / scale] ? foreground : background;
    }
    if (!cursor_here) return;
    CursorRows rows = cursor_rows(s.cursor_start, s.cursor_stop, s.font_height);
    uint32_t cursor = s.palette[fg_index];
    for (int32_t y = std::max(rows.first, 0); y <= rows.last && y < s.font_height; ++y)
        std::fill_n(origin + size_t(y) * frame_width, s.font_width, cursor);
}

bool blink_shows(const FrameSource& s, int32_t cursor_column, int32_t cursor_row) {
    if (s.cursor_visible && cursor_column >= 0 && cursor_column < s.width && cursor_row >= 0 && cursor_row < s.height)
        return true;
    const uint8_t* cells = s.pixels;
    for (size_t i = 1, n = size_t(s.width) * s.height * 2; i < n; i += 2)
        if (cells[i] & 0x80) return true;
    return false;
}

bool build_text(const FrameSource& s) {
    size_t cells = size_t(s.width) * s.height * 2;
    if (cells != previous.cells.size()) {
        previous.cells.assign(cells, 0);
        display_cache_valid = 0;
    }
    bool palette_differs = std::memcmp(previous.text_palette, s.palette, sizeof previous.text_palette) != 0;
    if (!display_cache_valid.load() || palette_differs) {
        std::memcpy(previous.text_palette, s.palette, sizeof previous.text_palette);
        if (palette_differs) display_cache_valid = 0;
    }
    bool valid = display_cache_valid.load();
    bool changed = valid && std::memcmp(previous.cells.data(), s.pixels, cells) != 0;

    int32_t blink = (frame_counter.load() >> 3) & 1;
    int32_t cursor_column = s.cursor_column - 1, cursor_row = s.cursor_row - 1;
    if (s.pending_newline == 2 && s.cursor_row != s.height) cursor_column = 0, cursor_row = s.cursor_row;
    int32_t shape = (s.cursor_visible ? 1 << 16 : 0) | s.cursor_start << 8 | s.cursor_stop;
    bool blink_changed = blink != previous.blink;
    bool cursor_moved = cursor_column != previous.cursor_column || cursor_row != previous.cursor_row ||
                        shape != previous.cursor_shape;
    if (!changed && !cursor_moved && valid) {
        // A new blink phase changes nothing on a page without a visible
        // cursor or blinking cell: the frame would be the last one again.
        if (!blink_changed || !blink_shows(s, cursor_column, cursor_row)) {
            previous.blink = blink;
            return false;
        }
    }

    int32_t frame_width = frame_width_of(s), frame_height = frame_height_of(s);
    int32_t newest = frame_newest.load();
    FrameSlot& slot = take_slot(frame_width, frame_height);
    // Only changed cells are drawn over a copy of the last frame.
    if (valid && newest && frame_ring[newest].byte_size == slot.byte_size && frame_ring[newest].pixels)
        std::memcpy(slot.pixels, frame_ring[newest].pixels, size_t(slot.byte_size));
    else
        valid = false;

    const uint8_t* page = s.pixels;
    uint8_t* copy = previous.cells.data();
    for (int32_t row = 0; row < s.height; ++row) {
        for (int32_t column = 0; column < s.width; ++column) {
            size_t at = (size_t(row) * s.width + column) * 2;
            uint8_t character = page[at], attribute = page[at + 1];
            bool is_cursor = column == cursor_column && row == cursor_row;
            bool was_cursor = column == previous.cursor_column && row == previous.cursor_row;
            bool redraw = !valid || character != copy[at] || attribute != copy[at + 1] ||
                          ((attribute & 0x80) && blink_changed) || (is_cursor && (blink_changed || cursor_moved)) ||
                          (was_cursor && cursor_moved);
            if (!redraw) continue;
            copy[at] = character;
            copy[at + 1] = attribute;
            paint_cell(s, slot.pixels, frame_width, column, row, character, attribute, blink,
                       is_cursor && s.cursor_visible && blink == 1);
        }
    }
    previous.blink = blink;
    previous.cursor_column = cursor_column;
    previous.cursor_row = cursor_row;
    previous.cursor_shape = shape;
    return true;
}

// ---- palette pages ----

// The frame goes out with streaming stores: it is read next by the
// display callback, long after these caches have moved on, so writing it
// around them saves reading it in first. Each converter also copies the
// indices into the builder's copy of the page on the way.

// Sixteen colours: four byte shuffles give the blue, green, red and alpha
// bytes of sixteen pixels at once.
__attribute__((target("ssse3"))) void convert_16_colours(const uint8_t* indices, uint8_t* copy, size_t count,
                                                         const uint32_t* palette, int32_t bits, uint32_t* out) {
    uint8_t mask = uint8_t((1u << bits) - 1);
    alignas(16) uint8_t planes[4][16] = {};
    for (int i = 0; i <= mask; ++i)
        for (int b = 0; b < 4; ++b) planes[b][i] = uint8_t(palette[i] >> (8 * b));
    __m128i blue = _mm_load_si128(reinterpret_cast<const __m128i*>(planes[0]));
    __m128i green = _mm_load_si128(reinterpret_cast<const __m128i*>(planes[1]));
    __m128i red = _mm_load_si128(reinterpret_cast<const __m128i*>(planes[2]));
    __m128i alpha = _mm_load_si128(reinterpret_cast<const __m128i*>(planes[3]));
    __m128i index_mask = _mm_set1_epi8(char(mask));
    bool aligned = (reinterpret_cast<uintptr_t>(out) & 15) == 0;
    size_t i = 0;
    for (; aligned && i + 16 <= count; i += 16) {
        __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(indices + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + i), raw);
        __m128i index = _mm_and_si128(raw, index_mask);
        __m128i b = _mm_shuffle_epi8(blue, index), g = _mm_shuffle_epi8(green, index);
        __m128i r = _mm_shuffle_epi8(red, index), a = _mm_shuffle_epi8(alpha, index);
        __m128i bg_low = _mm_unpacklo_epi8(b, g), bg_high = _mm_unpackhi_epi8(b, g);
        __m128i ra_low = _mm_unpacklo_epi8(r, a), ra_high = _mm_unpackhi_epi8(r, a);
        __m128i* o = reinterpret_cast<__m128i*>(out + i);
        _mm_stream_si128(o + 0, _mm_unpacklo_epi16(bg_low, ra_low));
        _mm_stream_si128(o + 1, _mm_unpackhi_epi16(bg_low, ra_low));
        _mm_stream_si128(o + 2, _mm_unpacklo_epi16(bg_high, ra_high));
        _mm_stream_si128(o + 3, _mm_unpackhi_epi16(bg_high, ra_high));
    }
    for (; i < count; ++i) copy[i] = indices[i], out[i] = palette[indices[i] & mask];
    _mm_sfence();
}

void convert_palette(const uint8_t* indices, uint8_t* copy, size_t count, const uint32_t* palette, int32_t bits,
                     uint32_t* out) {
    if (bits <= 4 && __builtin_cpu_supports("ssse3")) return convert_16_colours(indices, copy, count, palette, bits, out);
    uint32_t mask = bits >= 8 ? 0xFF : (1u << bits) - 1;
    bool aligned = (reinterpret_cast<uintptr_t>(out) & 15) == 0;
    size_t i = 0;
    auto four_pixels = [&](uint32_t four) {
        return _mm_set_epi32(int(palette[(four >> 24) & mask]), int(palette[(four >> 16) & mask]),
                             int(palette[(four >> 8) & mask]), int(palette[four & mask]));
    };
    for (; aligned && i + 8 <= count; i += 8) {
        uint64_t eight;
        std::memcpy(&eight, indices + i, 8);
        std::memcpy(copy + i, &eight, 8);
        __m128i* o = reinterpret_cast<__m128i*>(out + i);
        _mm_stream_si128(o, four_pixels(uint32_t(eight)));
        _mm_stream_si128(o + 1, four_pixels(uint32_t(eight >> 32)));
    }
    for (; i < count; ++i) copy[i] = indices[i], out[i] = palette[indices[i] & mask];
    _mm_sfence();
}

bool build_palette(const FrameSource& s) {
    if (s.mode == 10 && s.mode10_levels) {
        int32_t phase = (clock_ms() >> 9) & 1;
        for (int k = 0; k < 4; ++k) s.palette[k] = s.mode10_levels[phase][s.palette[k + 4] % 9];
    }
    size_t width = size_t(s.width), count = width * s.height;
    size_t colours = size_t(1) << std::min(s.bits_per_pixel, 8);
    uint64_t next = builds + 1;
    bool whole = count != previous.indices.size() || !display_cache_valid.load() ||
                 previous.palette.size() != colours ||
                 std::memcmp(previous.palette.data(), s.palette, colours * 4) != 0 ||
                 previous.last_palette_build != builds;  // another kind of page came between
    if (count != previous.indices.size()) previous.indices.assign(count, 0);
    previous.row_changed.resize(size_t(s.height), 0);
    bool changed = whole;
    for (int32_t y = 0; y < s.height; ++y) {
        size_t at = size_t(y) * width;
        if (whole || std::memcmp(previous.indices.data() + at, s.pixels + at, width) != 0) {
            previous.row_changed[size_t(y)] = next;
            changed = true;
        }
    }
    if (!changed) return false;

    FrameSlot& slot = take_slot(s.width, s.height);
    previous.palette.assign(s.palette, s.palette + colours);
    // Runs of rows the buffer lacks are converted; the rest it already has.
    uint64_t held = slot.generation;
    for (int32_t y = 0; y < s.height;) {
        if (previous.row_changed[size_t(y)] <= held) {
            ++y;
            continue;
        }
        int32_t end = y + 1;
        while (end < s.height && previous.row_changed[size_t(end)] > held) ++end;
        size_t at = size_t(y) * width, n = size_t(end - y) * width;
        convert_palette(s.pixels + at, previous.indices.data() + at, n, previous.palette.data(), s.bits_per_pixel,
                        slot.pixels + at);
        y = end;
    }
    previous.last_palette_build = next;
    return true;
}

bool build_32_bit(const FrameSource& s) {
    FrameSlot& slot = take_slot(s.width, s.height);
    std::memcpy(slot.pixels, s.pixels, size_t(slot.byte_size));
    return true;
}

}  // namespace

int32_t frame_width_of(const FrameSource& s) { return s.mode == 0 ? s.width * s.font_width : s.width; }
int32_t frame_height_of(const FrameSource& s) { return s.mode == 0 ? s.height * s.font_height : s.height; }

CursorRows cursor_rows(int32_t s, int32_t e, int32_t h) {
    int32_t bottom = h == 16 ? 14 : h - 1;
    auto from = [h](int32_t first, int32_t last) {
        return first >= h ? CursorRows{1, 0} : CursorRows{first, std::min(last, h - 1)};
    };
    if (e == 0) return s == 0 ? from(0, 0) : CursorRows{1, 0};
    if (e < s) return from(e, h - 1);
    if (s == e) return s < 4 ? from(s, s) : CursorRows{bottom, bottom};
    if (s <= 1) return e < 4 ? from(s, e) : from(s, h - 1);
    if (s == 2) {
        if (e == 3) return from(2, 3);
        if (e == 4) return {bottom - 2, bottom};
        return from(2, h - 1);
    }
    if (e == s + 1) return {bottom - 1, bottom};
    if (e == s + 2) return {bottom - 2, bottom};
    return {h - h / 2, h - 1};
}

bool build_frame_from(const FrameSource& s) {
    free_superseded_frames();
    if (ring_full()) return false;
    bool built = s.mode == 0 ? build_text(s) : s.bits_per_pixel == 32 ? build_32_bit(s) : build_palette(s);
    if (built) publish();
    return built;
}

int32_t supersede_older_frames() {
    int32_t newest = frame_newest.load(std::memory_order_acquire);
    if (!newest) return 0;
    for (int32_t slot = frame_oldest.load(); slot && slot != newest; slot = next_frame_slot(slot))
        frame_ring[slot].superseded.store(1, std::memory_order_release);
    return newest;
}

void frame_ring_reset() {
    for (FrameSlot& slot : frame_ring) {
        std::free(slot.pixels);
        slot.pixels = nullptr;
        slot.width = slot.height = slot.byte_size = 0;
        slot.superseded = 0;
        slot.shown = 0;
    }
    frame_oldest = 0;
    frame_newest = 0;
    previous = PreviousPage{};
    display_cache_valid = 0;
}

void frame_ring_startup() { frame_ring_reset(); }
