// The test binary is linked with print_string wrapped, so that every text
// the game prints is recorded before it goes to the screen.
#include <cstdint>

#include "game_driver.h"

extern "C" {
void __real__Z12print_stringPK11BasicStringi(const BasicString* text, int32_t newline);

void __wrap__Z12print_stringPK11BasicStringi(const BasicString* text, int32_t newline) {
    game_driver::record_print(text, newline);
    __real__Z12print_stringPK11BasicStringi(text, newline);
}
}
