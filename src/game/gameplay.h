// The play step: updateWorld moves everything by frameScale and makes the
// progress checks; resolveCollisions tests the collisions and scores. The
// frame driver calls them in this order once per frame of play.
#pragma once

void updateWorld();
void resolveCollisions();

// The parts, in the order updateWorld runs them (ship.cpp, asteroids.cpp, boss.cpp).
void moveShip();
void fireShots();
void moveBullets();
void moveAsteroids();
void bossStep();
void checkExtraLife();
void checkLevelUp();
void startBossFight();
void resolveAsteroidCollisions();
void resolveBossCollisions();

constexpr int kMaxAmmo = 25;
