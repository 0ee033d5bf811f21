// The world's program-start values.
#include "game/world.h"

Sprite ship;
Sprite bullets[kBulletCount];
Sprite asteroids[kAsteroidCount];
Sprite boss;
Sprite bossShots[kBossShotCount];
Sprite menuShip;

int32_t lives = 5;
int32_t difficulty = 1;
int32_t ammo = 25;
int32_t score = 0;
int32_t level = 0;
int32_t asteroidCount = 0;
int32_t extraLifePoints = 0;
int32_t levelPoints = 0;
bool bossLevel = false;
int32_t bossHealth = 0;
bool oneUpEvent = false;
bool levelUpEvent = false;
int32_t shipDirection = 0;
bool shipTurned = false;
int32_t bossDodgeDirection = 0;
bool asteroidFlip = false;
float asteroidSpeed = 0.0f;
float mapYExact = 3072.0f;
int32_t mapY = 3072;
float mapYSpeed = 0.0f;
int32_t mapX = 0;
