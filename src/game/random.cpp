// next = next * 1103515245 + 12345 on 32 bits; the result is bits 16 to 30.
#include "game/random.h"

namespace {
uint32_t next = 1;
}

int gameRand()
{
    next = next * 1103515245u + 12345u;
    return static_cast<int>((next / 65536u) % 32768u);
}

void resetGameRand() { next = 1; }
