// The game with one rule changed, for the test that a recording notices it
// no longer matches the game: random numbers from another generator, so the
// asteroids come in other places. Linked in place of game/random.cpp.
#include "game/random.h"

namespace {
uint32_t next = 1;
}

int gameRand()
{
    next = next * 214013u + 2531011u;
    return static_cast<int>((next >> 16) % 32768u);
}

void resetGameRand() { next = 1; }
