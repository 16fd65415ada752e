// The SCREEN 12 page after printing a fixed block of text, compared as a
// PNG with the committed reference (see golden/README.md).
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "fixture.h"
#include "png.h"

namespace {

std::string golden_path(const char* name) {
    std::string here = __FILE__;
    return here.substr(0, here.find_last_of('/')) + "/golden/" + name;
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
}

void print_golden_text() {
    print("Code page 437, 8x16 glyphs on SCREEN 12 (COLOR 7, 0):", 1);
    print("", 1);
    set_control_codes(2);  // every code drawn as its glyph
    for (int row = 0; row < 8; ++row) {
        std::string line;
        for (int code = row * 32; code < row * 32 + 32; ++code) {
            line += char(code);
            line += ' ';
        }
        print(line, 1);
    }
    set_control_codes(0);
    print("", 1);
    print("A line long enough to wrap at the right edge of the page: the quick brown fox "
          "jumps over the lazy dog, 0123456789.",
          1);
    print("Tab\tstops\tevery\teight\tcolumns.", 1);
    print_item("Zone 1");
    next_print_zone();
    print_item("Zone 2");
    next_print_zone();
    print_item("Zone 3");
    print("", 1);
    set_cursor(30, 1, 0, 0, 0, 3);
    print("Last row: outside the text window, never scrolled.", 0);
}

TEST(Golden, Screen12TextPage) {
    fresh_screen(12);
    set_colour(7, 0, 0, 3);
    print_golden_text();
    const ImageRecord* page = write_image;
    uint32_t colours = page->colour_mask + 1;
    std::vector<uint8_t> actual =
        png::encode_indexed(page->pixels, page->width, page->height, page->palette, colours);
    std::string path = golden_path("screen12_text.png");
    if (std::getenv("FERIX_UPDATE_GOLDEN")) write_file(path, actual);
    std::vector<uint8_t> expected = read_file(path);
    ASSERT_FALSE(expected.empty()) << "missing " << path;
    if (actual != expected) {
        write_file("screen12_text.actual.png", actual);
        FAIL() << "page differs from " << path << "; see screen12_text.actual.png in the build dir";
    }
}

}  // namespace
