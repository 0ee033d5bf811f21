// The world's program-start values and the operations every gameplay step
// shares: the new-game reset, the layout, spawning, animation, rectangles.
#include "game/world.h"

#include "game/random.h"
#include "platform/clock.h"

#include <algorithm>

#define KESTRELON_DEFINE_VARIABLE(type, name, start) type name = start;
#define KESTRELON_DEFINE_SPRITE(name) Sprite name;
#define KESTRELON_DEFINE_SPRITES(name, count) Sprite name[count];
KESTRELON_WORLD_SCORING(KESTRELON_DEFINE_VARIABLE)
KESTRELON_WORLD_MOTION(KESTRELON_DEFINE_VARIABLE)
KESTRELON_WORLD_SPRITES(KESTRELON_DEFINE_SPRITE, KESTRELON_DEFINE_SPRITES)

ScreenPoint livesIconPos, livesTextPos, scoreTextPos, levelTextPos, logoPos, getReadyTextPos, scoreListPos,
    versionLabelPos, continuePos, newGamePos, highscorePos, screenModePos, quitPos, novicePos, heroPos;

void resetWorld()
{
#define KESTRELON_RESET_VARIABLE(type, name, start) name = start;
#define KESTRELON_RESET_SPRITE(name) name = Sprite{};
#define KESTRELON_RESET_SPRITES(name, count) std::fill(name, name + count, Sprite{});
    KESTRELON_WORLD_SCORING(KESTRELON_RESET_VARIABLE)
    KESTRELON_WORLD_MOTION(KESTRELON_RESET_VARIABLE)
    KESTRELON_WORLD_SPRITES(KESTRELON_RESET_SPRITE, KESTRELON_RESET_SPRITES)
}

bool newGame()
{
    const bool hero = difficulty == 2;
    lives = 5;
    score = 0;
    ammo = 25;
    level = 1;
    asteroidCount = 1;
    extraLifePoints = 0;
    levelPoints = 0;
    mapYSpeed = hero ? -2.0f : -1.0f;

    ship.width = 127;
    ship.height = 152;
    ship.vx = 8.0f;
    ship.vy = 8.0f;
    ship.x = 449.0f;
    ship.y = 576.0f;

    for (Sprite& bullet : bullets) {
        bullet.width = 32;
        bullet.height = 32;
        bullet.vy = -12.0f;
        bullet.scale = 0.6f;
        bullet.active = false;
        bullet.frame = 55;
        bullet.framesPerRow = 8;
    }

    bossLevel = false;
    boss.active = false;
    boss.width = 219;
    boss.height = 144;
    boss.scale = 1.0f;
    boss.x = 402.5f;
    boss.y = 150.0f;
    boss.vx = hero ? 4.5f : 3.5f;
    bossHealth = 30;

    for (Sprite& shot : bossShots) {
        shot.width = 32;
        shot.height = 32;
        shot.y = 294.0f;
        shot.vy = hero ? 8.0f : 6.0f;
        shot.scale = 1.2f;
        shot.active = false;
        shot.frame = 48;
        shot.angle = -90.0f;
        shot.framesPerRow = 8;
    }

    asteroidSpeed = hero ? 4.0f : 3.0f;
    for (Sprite& asteroid : asteroids) {
        asteroid.height = 60;
        asteroid.width = 60;
        asteroid.framesPerRow = 8;
        asteroid.firstFrame = 0;
        asteroid.lastFrame = 63;
        asteroid.frameDelay = 10;
        asteroid.vx = asteroidSpeed;
        asteroid.vy = asteroidSpeed;
        asteroid.active = false;
    }
    for (int i = 0; i < asteroidCount; ++i)
        spawnAsteroid();
    return true;
}

void initLayout()
{
    livesIconPos = {875, 30};
    livesTextPos = {945, 45};
    scoreTextPos = {875, 115};
    levelTextPos = {875, 165};
    logoPos = {312, 134};
    getReadyTextPos = {462, 384};
    scoreListPos = {352, 314};
    versionLabelPos = {674, 738};
    continuePos = {412, 324};
    newGamePos = {412, 384};
    highscorePos = {412, 444};
    screenModePos = {412, 504};
    quitPos = {412, 564};
    novicePos = {412, 384};
    heroPos = {412, 444};

    menuShip.x = 175.0f;
    menuShip.y = 400.0f;
    menuShip.frame = 5;
    menuShip.framesPerRow = 5;
    menuShip.width = 127;
    menuShip.height = 152;
    menuShip.scale = 1.3f;
    menuShip.firstFrame = 5;
    menuShip.lastFrame = 9;
    menuShip.frameDelay = 150;
}

int32_t findFreeAsteroid()
{
    for (int32_t i = 0; i < kAsteroidCount; ++i)
        if (!asteroids[i].active)
            return i;
    return -1;
}

void spawnAsteroid()
{
    int32_t slot = findFreeAsteroid();
    if (slot < 0)
        return;
    Sprite& asteroid = asteroids[slot];
    asteroid.active = true;
    asteroid.x = static_cast<float>(gameRand() % 964 + 1);
    asteroid.y = static_cast<float>(gameRand() % 384 + 1);
    asteroidFlip = !asteroidFlip;
    if (asteroidFlip)
        asteroid.vx = -asteroid.vx;
}

void advanceAnimation(Sprite& sprite)
{
    auto tick = static_cast<int32_t>(readTickCount());
    if (tick > sprite.lastFrameTick + sprite.frameDelay) {
        sprite.lastFrameTick = static_cast<int32_t>(readTickCount());
        sprite.frame += sprite.frameStep;
        if (sprite.frame > sprite.lastFrame)
            sprite.frame = sprite.firstFrame;
        else if (sprite.frame < sprite.firstFrame)
            sprite.frame = sprite.lastFrame;
    }
}
