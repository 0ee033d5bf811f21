// kestrelon-replay: see replay.h.
#include "replay.h"

int main(int argc, char** argv) { return runReplay(argc, argv); }
