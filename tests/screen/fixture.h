// A fresh screen of a chosen mode and a clean error state per test.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/memory.h"
#include "runtime/core/startup_hooks.h"
#include "runtime/core/state.h"
#include "runtime/screen/font.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/screen/text.h"

inline void start_screen_once() {
    static bool started = false;
    if (started) return;
    started = true;
    font_metrics_startup();
    image_table_startup();
    screen_startup();
}

// SCREEN mode, built afresh: the screen first passes through a mode whose
// text geometry carries nothing over (80 x 30 for text, 80 x 25 otherwise).
inline void fresh_screen(int32_t mode) {
    start_screen_once();
    pending_error = 0;
    check_pending = 0;
    pending_text_columns = pending_text_rows = pending_text_font = -1;
    control_codes_off = 0;
    soft_keys_on = 0;
    draw_soft_key_line(0);
    set_screen_mode(mode == 0 ? 12 : 0, 0, 0, 0, 0, 1);
    set_screen_mode(mode, 0, 0, 0, 0, 1);
    initial_screen = 0;
}

inline void print(const std::string& text, int32_t newline = 0) {
    print_bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), newline);
}

// One PRINT item as the translated program prints it.
inline void print_item(const std::string& text) {
    start_print_bytes(text.size());
    print(text, 0);
}

// The text of a row of a text image.
inline std::string row_text(const ImageRecord* image, int32_t row) {
    std::string text;
    for (int32_t c = 0; c < image->width; ++c)
        text += char(image->pixels[2 * ((row - 1) * image->width + c)]);
    return text;
}

inline uint8_t attribute_at(const ImageRecord* image, int32_t row, int32_t column) {
    return image->pixels[2 * ((row - 1) * image->width + column - 1) + 1];
}

// Pixels of text cell (row, column) of a graphics page hold any ink.
inline bool cell_has_ink(const ImageRecord* image, int32_t row, int32_t column) {
    int32_t fw = font_width[image->font], fh = font_height[image->font];
    for (int32_t y = (row - 1) * fh; y < row * fh; ++y)
        for (int32_t x = (column - 1) * fw; x < column * fw; ++x)
            if (image->pixels[y * image->width + x] != image->background) return true;
    return false;
}

class Screen : public ::testing::Test {
protected:
    void SetUp() override { fresh_screen(0); }
    void TearDown() override {
        pending_error = 0;
        check_pending = 0;
    }
    int32_t error() { return pending_error.load(); }
};
