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

// Every record back to its program-start defaults, the carried-over state
// cleared, the generator fresh, then a new game at `chosenDifficulty`.
inline void resetWorldForTest(int32_t chosenDifficulty)
{
    ship = Sprite{};
    boss = Sprite{};
    menuShip = Sprite{};
    for (Sprite& s : bullets)
        s = Sprite{};
    for (Sprite& s : asteroids)
        s = Sprite{};
    for (Sprite& s : bossShots)
        s = Sprite{};
    difficulty = chosenDifficulty;
    shipDirection = 0;
    shipTurned = false;
    bossDodgeDirection = 0;
    asteroidFlip = false;
    oneUpEvent = levelUpEvent = false;
    mapYExact = 3072.0f;
    mapY = 3072;
    mapX = 0;
    resetGameRand();
    newGame();
    frameScale = 1.0f;
}
