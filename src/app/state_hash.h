// A short hash of the program-wide game state, for the checks a recording
// carries (see platform/recording.h).
#pragma once
#include <cstdint>

// FNV-1a over every variable of the world and its sprites, the screen flags
// and cursors, the screen mode, the frame's speed factor and the score table.
uint32_t gameStateHash();
