// What the gameplay tests share: the world put back to a fresh run's state,
// and the random generator written out on its own to check the game's against.
#pragma once
#include "game/frame_time.h"
#include "game/random.h"
#include "game/world.h"

#include <cstdint>

// The generator the asteroid positions must follow.
struct ReferenceRand {
    uint32_t next = 1;
    int operator()()
    {
        next = next * 1103515245u + 12345u;
        return static_cast<int>((next / 65536u) % 32768u);
    }
};

// The whole world back to its program-start values, the generator fresh,
// then a new game at `chosenDifficulty`.
inline void resetWorldForTest(int32_t chosenDifficulty)
{
    resetWorld();
    difficulty = chosenDifficulty;
    resetGameRand();
    newGame();
    frameScale = 1.0f;
}
