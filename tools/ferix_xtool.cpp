// Reads a window back for end-to-end tests.
//   ferix_xtool capture WINDOW FILE.ppm      the window's picture
//   ferix_xtool text WINDOW [FONT_HEIGHT]     its text rows, by glyph matching
//   ferix_xtool compare WINDOW FILE.ppm       exit 0 when the pictures are equal
//   ferix_xtool size WINDOW                   "width height"
//   ferix_xtool hints WINDOW                  "min W H max W H" of the size hints
// WINDOW is an X window id, decimal or 0x hex.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/screen/font.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
};

bool grab(Display* d, Window w, Picture* p) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return false;
    XImage* image = XGetImage(d, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image) return false;
    p->width = a.width;
    p->height = a.height;
    p->rgb.resize(size_t(a.width) * a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) p->rgb[size_t(y) * a.width + x] = uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF;
    XDestroyImage(image);
    return true;
}

bool write_ppm(const char* path, const Picture& p) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", p.width, p.height);
    for (uint32_t c : p.rgb) {
        uint8_t bytes[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
        std::fwrite(bytes, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

bool read_ppm(const char* path, Picture* p) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    int max = 0;
    bool ok = std::fscanf(f, "P6 %d %d %d", &p->width, &p->height, &max) == 3 && max == 255;
    std::fgetc(f);
    if (ok) {
        p->rgb.resize(size_t(p->width) * p->height);
        for (uint32_t& c : p->rgb) {
            uint8_t b[3];
            if (std::fread(b, 1, 3, f) != 3) ok = false;
            c = uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2];
        }
    }
    std::fclose(f);
    return ok;
}

// The character whose glyph makes the cell's pattern: ink is every pixel
// that differs from the cell's top-left pixel (or, failing that, the same
// with ink and paper swapped, for glyphs that fill their top row).
int match_cell(const Picture& p, int cx, int cy, int font_height) {
    const uint8_t* rows = font_height == 8 ? GLYPH_ROWS_8X8 : GLYPH_ROWS_8X16;
    int glyph_rows = font_height == 8 ? 8 : 16, skip = font_height == 14 ? 1 : 0;
    uint32_t paper = p.rgb[size_t(cy) * p.width + cx];
    uint8_t pattern[16] = {};
    for (int y = 0; y < font_height; ++y)
        for (int x = 0; x < 8; ++x)
            if (p.rgb[size_t(cy + y) * p.width + cx + x] != paper) pattern[y] |= uint8_t(0x80 >> x);
    for (int inverse = 0; inverse < 2; ++inverse) {
        // Printable ASCII first, so that a blank cell reads as a space.
        for (int k = 0; k < 256; ++k) {
            int code = (k + 32) % 256;
            const uint8_t* g = rows + code * glyph_rows + skip;
            bool same = true;
            for (int y = 0; y < font_height && same; ++y) same = uint8_t(inverse ? ~g[y] : g[y]) == pattern[y];
            if (same) return code;
        }
    }
    return -1;
}

void put_utf8(uint32_t u, std::string* out) {
    if (u < 0x80) {
        *out += char(u);
    } else if (u < 0x800) {
        *out += char(0xC0 | u >> 6);
        *out += char(0x80 | (u & 0x3F));
    } else {
        *out += char(0xE0 | u >> 12);
        *out += char(0x80 | (u >> 6 & 0x3F));
        *out += char(0x80 | (u & 0x3F));
    }
}

int print_text(const Picture& p, int font_height) {
    for (int cy = 0; cy + font_height <= p.height; cy += font_height) {
        std::string line;
        for (int cx = 0; cx + 8 <= p.width; cx += 8) {
            int code = match_cell(p, cx, cy, font_height);
            if (code < 0) line += '?';
            else put_utf8(code < 32 || code == 127 ? '.' : CODEPAGE_TO_UNICODE[code], &line);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: ferix_xtool capture|text|compare|size|hints WINDOW [ARG]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string command = argv[1];
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "ferix_xtool: no display\n");
        return 1;
    }
    Window w = Window(std::strtoul(argv[2], nullptr, 0));
    if (command == "size" || command == "hints") {
        if (command == "size") {
            XWindowAttributes a;
            if (!XGetWindowAttributes(d, w, &a)) return 1;
            std::printf("%d %d\n", a.width, a.height);
            return 0;
        }
        XSizeHints hints;
        long supplied = 0;
        if (!XGetWMNormalHints(d, w, &hints, &supplied)) return 1;
        std::printf("min %d %d max %d %d\n", hints.flags & PMinSize ? hints.min_width : -1,
                    hints.flags & PMinSize ? hints.min_height : -1, hints.flags & PMaxSize ? hints.max_width : -1,
                    hints.flags & PMaxSize ? hints.max_height : -1);
        return 0;
    }
    Picture shot;
    if (!grab(d, w, &shot)) {
        std::fprintf(stderr, "ferix_xtool: cannot read window %s\n", argv[2]);
        return 1;
    }
    if (command == "capture" && argc == 4) return write_ppm(argv[3], shot) ? 0 : 1;
    if (command == "text") return print_text(shot, argc > 3 ? std::atoi(argv[3]) : 16);
    if (command == "compare" && argc == 4) {
        Picture expected;
        if (!read_ppm(argv[3], &expected)) return 2;
        if (expected.width != shot.width || expected.height != shot.height) {
            std::printf("size %dx%d, expected %dx%d\n", shot.width, shot.height, expected.width, expected.height);
            return 1;
        }
        size_t differ = 0;
        for (size_t i = 0; i < shot.rgb.size(); ++i) differ += shot.rgb[i] != expected.rgb[i];
        std::printf("%zu pixels differ\n", differ);
        return differ ? 1 : 0;
    }
    return usage();
}
