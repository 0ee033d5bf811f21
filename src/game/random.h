// The game's random numbers: the C standard's example generator, never
// seeded, so every run and every machine draws the same sequence.
#pragma once
#include <cstdint>

constexpr int kGameRandMax = 32767;

// 0 to 32767.
int gameRand();

// Puts the generator back where a fresh run starts (tests only).
void resetGameRand();
