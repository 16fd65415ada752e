// Placeholders until variable storage and strings land.
#include "runtime/core/startup_hooks.h"

void handle_lists_startup() {}
void memory_startup() {}
void strings_startup() {}
