// A translated program for the window's end-to-end tests. The first word
// of its command line chooses what it does:
//   keys          text screen; every key INKEY$ returns is shown and
//                 written to standard output as "key N"
//   frame FILE    SCREEN 12 picture, presented once; the frame the window
//                 shows is written to FILE (PPM), then "dumped" on stdout
//   input         INPUT of a number, repeated
//   inkey         polls INKEY$ and does nothing else
//   sleep         SLEEP without a time, repeated
//   end           END, which waits for a key
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sleep.h"
#include "runtime/core/errors.h"
#include "runtime/core/program.h"
#include "runtime/core/state.h"
#include "runtime/screen/image.h"
#include "runtime/screen/palette.h"
#include "runtime/screen/text.h"
#include "runtime/values/basic_string.h"
#include "runtime/values/statement_tail.h"
#include "runtime/window/frame.h"
#include "runtime/window/input.h"

namespace {

void statement_end(uint32_t line) {
    statement_tail(string_mark(), line);
}

void print(const std::string& text, int32_t newline) {
    start_print_bytes(text.size());
    print_bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), newline);
}

void show_keys() {
    print("PRESS A KEY", 1);
    for (uint32_t line = 10;; ++line) {
        int32_t mark = string_mark();
        BasicString* key = basic_inkey();
        if (key->length) {
            int code = key->length == 2 ? 256 * key->chars[1] : key->chars[0];
            std::printf("key %d\n", code);
            std::fflush(stdout);
            print("GOT " + std::to_string(code), 1);
        }
        string_cleanup(mark, 0);
        statement_end(line);
    }
}

bool write_frame(const char* path, const FrameSlot& frame) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", frame.width, frame.height);
    for (int32_t i = 0; i < frame.width * frame.height; ++i) {
        uint32_t c = frame.pixels[i];
        uint8_t rgb[3] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

void present_frame(const std::string& path) {
    set_screen_mode(12, 0, 0, 0, 0, 1);
    statement_end(20);
    // Every colour of the palette in bands, and a line of text over them.
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) write_image->pixels[y * 640 + x] = uint8_t((x / 40 + y / 60) % 16);
    print("FRAME PICTURE", 1);
    display_now();
    statement_end(30);
    int32_t newest = frame_newest.load();
    while (!frame_ring[newest].shown.load()) {
        platform_sleep_ms(5);
        statement_end(40);
    }
    platform_sleep_ms(200);  // the swap reaches the server
    bool ok = write_frame(path.c_str(), frame_ring[newest]);
    std::printf(ok ? "dumped\n" : "dump failed\n");
    std::fflush(stdout);
    for (;;) {
        platform_sleep_ms(10);
        statement_end(50);
    }
}

void repeat_input() {
    for (uint32_t line = 60;; ++line) {
        print("NUMBER", 0);
        print("? ", 0);
        double value = 0;
        InputVariable v{INPUT_DOUBLE, &value};
        input_variables(&v, 1, 1);
        std::printf("input %g\n", value);
        std::fflush(stdout);
        statement_end(line);
    }
}

void main_module(void*) {
    enter_main_module();
    std::string command = command_line_text();
    std::string mode = command.substr(0, command.find(' '));
    std::string argument = command.find(' ') == std::string::npos ? "" : command.substr(command.find(' ') + 1);
    if (mode == "frame") present_frame(argument);
    if (mode == "input") repeat_input();
    if (mode == "inkey")
        for (;;) {
            int32_t mark = string_mark();
            basic_inkey();
            string_cleanup(mark, 0);
            statement_end(70);
        }
    if (mode == "sleep")
        for (;;) {
            basic_sleep(0, 0);
            statement_end(80);
        }
    if (mode == "end") end_program();
    show_keys();
}

const TranslatedProgram WINDOW_PROGRAM = {nullptr, main_module, nullptr};

}  // namespace

int main(int argc, char** argv) { return ferix_main(argc, argv, &WINDOW_PROGRAM); }
