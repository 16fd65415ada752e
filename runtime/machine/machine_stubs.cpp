// Placeholder until the machine-code interpreter lands.
#include "runtime/core/startup_hooks.h"

void machine_startup() {}
