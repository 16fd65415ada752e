// Placeholders until images, fonts and text output land.
#include "runtime/core/startup_hooks.h"

void font_metrics_startup() {}
void image_table_startup() {}
void screen_startup() {}
void end_show_prompt() {}
