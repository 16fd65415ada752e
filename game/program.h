// The translated program as the runtime sees it.
#pragma once
#include "runtime/core/program.h"

extern const TranslatedProgram FEASTMOOR_PROGRAM;
