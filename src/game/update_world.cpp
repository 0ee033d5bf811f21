// The order of one play step.
#include "game/gameplay.h"

#include "game/world.h"

void updateWorld()
{
    moveShip();
    fireShots();
    moveBullets();
    if (bossLevel) {
        bossStep();
    } else {
        moveAsteroids();
        checkExtraLife();
    }
    checkLevelUp();
}

void resolveCollisions()
{
    if (bossLevel)
        resolveBossCollisions();
    else
        resolveAsteroidCollisions();
}
