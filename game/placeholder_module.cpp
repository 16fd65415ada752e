// A small main module that stands in for the game until it is translated:
// it runs a few statements through the hook and ends.
#include "game/program.h"
#include "runtime/core/errors.h"
#include "runtime/core/state.h"

static void placeholder_main_module(void*) {
    enter_main_module();
    // Each statement ends by testing check_pending.
    if (check_pending.load()) statement_hook(1);
    end_program();
}

const TranslatedProgram FEASTMOOR_PROGRAM = {nullptr, placeholder_main_module, nullptr};
