// Placeholder until the environment texts land.
#include "runtime/core/startup_hooks.h"

void environment_startup() {}
