// Numbers and PRINT USING lines on the screen, through the text output.
#include <cstdint>

#include "runtime/core/errors.h"
#include "runtime/core/state.h"
#include "runtime/screen/text.h"
#include "runtime/values/number_text.h"
#include "runtime/values/numbers.h"

namespace {

// A number is one PRINT item: it moves to a fresh line as a whole when it
// would not fit, and the blank after it keeps it apart from the next.
template <typename Number, typename Format>
void print_item(Number value, Format format) {
    if (pending_error.load(std::memory_order_relaxed)) return;
    char text[NUMBER_TEXT_MAX + 1];
    int32_t length = format(value, text);
    text[length++] = ' ';
    start_print_bytes(static_cast<size_t>(length));
    print_bytes(reinterpret_cast<const uint8_t*>(text), static_cast<size_t>(length), 0);
}

}  // namespace

void print_number(int8_t value) { print_item(int64_t{value}, integer_text); }
void print_number(int16_t value) { print_item(int64_t{value}, integer_text); }
void print_number(int32_t value) { print_item(int64_t{value}, integer_text); }
void print_number(int64_t value) { print_item(value, integer_text); }
void print_number(uint8_t value) { print_item(uint64_t{value}, unsigned_text); }
void print_number(uint16_t value) { print_item(uint64_t{value}, unsigned_text); }
void print_number(uint32_t value) { print_item(uint64_t{value}, unsigned_text); }
void print_number(uint64_t value) { print_item(value, unsigned_text); }
void print_number(float value) { print_item(value, single_text); }
void print_number(double value) { print_item(value, double_text); }
void print_number(long double value) { print_item(static_cast<double>(value), double_text); }

void print_using_line(BasicString* output) {
    int32_t code = pending_error.load();
    if (code == 0) {
        print_string(output, 1);
        return;
    }
    pending_error = 0;
    print_string(output, 0);
    raise_error(code);
}
