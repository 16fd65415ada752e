// WIDTH, and what the program does with single images: making, copying
// and freeing them, choosing the write and read images, and the queries
// and settings of one image.
#pragma once
#include <cstdint>

// The printer's line width (WIDTH LPRINT).
extern int32_t printer_width;

// WIDTH. device 0 screen, 2 printer; flags bit 0 columns, bit 1 rows given.
void set_text_size(int32_t device, int32_t columns, int32_t rows, uint32_t flags);

// A new image: its handle, 0 after an error, -1 when memory runs out.
int32_t create_image(int32_t width, int32_t height, int32_t mode, int32_t mode_given);
int32_t copy_image(int32_t image, int32_t given);
void free_image(int32_t handle, int32_t given);
void free_user_images();
void set_write_image(int32_t image);
void set_read_image(int32_t image);
int32_t write_image_handle();
int32_t read_image_handle();
int32_t display_image_handle();

// Queries of one image (the write image when not given).
int32_t image_width(int32_t image, int32_t given);
int32_t image_height(int32_t image, int32_t given);
int32_t image_pixel_size(int32_t image, int32_t given);
uint32_t image_foreground(int32_t image, int32_t given);
uint32_t image_background(int32_t image, int32_t given);
int32_t image_font(int32_t image, int32_t given);
int32_t image_print_mode(int32_t image, int32_t given);
int64_t image_clear_colour(int32_t image, int32_t given);
int32_t image_blending(int32_t image, int32_t given);
uint32_t image_palette_entry(int32_t entry, int32_t image, int32_t given);
uint32_t set_image_palette_entry(int32_t entry, uint32_t colour, int32_t image, int32_t given);

void set_blending(int32_t on, int32_t image, int32_t given);
// flags: bit 0 the no-colour marker, bit 1 a colour given, bit 2 the image given.
void set_clear_colour(uint32_t colour, int32_t image, uint32_t flags);
// flags: bit 0 source given, bit 1 destination given.
void copy_palette(int32_t source, int32_t destination, uint32_t flags);
