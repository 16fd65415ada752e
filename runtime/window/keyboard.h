// Key events from the window into the runtime's key stores.
#pragma once
#include <cstdint>

void key_down(int32_t key_code);
void key_up(int32_t key_code);
