// Placeholders until text output lands.
#include "runtime/core/startup_hooks.h"
#include "runtime/screen/text.h"

void end_show_prompt() {}
void draw_soft_key_line(int32_t) {}
