// Feastmoor: the translated program on the runtime.
#include "game/program.h"
#include "runtime/core/program.h"

int main(int argc, char** argv) { return ferix_main(argc, argv, &FEASTMOOR_PROGRAM); }
