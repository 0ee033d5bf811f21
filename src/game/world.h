// The world the game plays on: the Sprite record of every moving or animated
// object, the fixed sprite instances, and the World variables (lives, score,
// level, ammunition, progress counters, events, map scroll state).
#pragma once
#include <cstdint>

struct Sprite {
    float x = 0.0f;
    float y = 0.0f;
    int32_t frame = 0;
    int32_t framesPerRow = 1;
    int32_t width = 0;
    int32_t height = 0;
    float scale = 1.0f;
    float angle = 0.0f;          // degrees
    int32_t firstFrame = 0;
    int32_t lastFrame = 0;
    int32_t lastFrameTick = 0;   // ms of the tick count at the last frame advance
    int32_t frameDelay = 0;      // ms between frame advances
    int32_t frameStep = 1;
    float vx = 0.0f;             // pixels per 1/50 s
    float vy = 0.0f;
    bool active = false;
};

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kBulletCount = 50;
constexpr int kAsteroidCount = 10;
constexpr int kBossShotCount = 2;

// Every program-wide variable of the world, listed once with its type and
// its value at program start. The declarations below, the definitions and
// resetWorld (world.cpp), the replay trace and the tests all expand these
// lists, so a new variable is added here and nowhere else. The trace writes
// the scoring list, then bossAlive, then the motion list.
#define KESTRELON_WORLD_SCORING(X)                                  \
    X(int32_t, lives, 5)                                            \
    X(int32_t, difficulty, 1) /* 1 Novice, 2 Hero */                \
    X(int32_t, ammo, 25)                                            \
    X(int32_t, score, 0)                                            \
    X(int32_t, level, 0)                                            \
    X(int32_t, asteroidCount, 0)                                    \
    X(int32_t, extraLifePoints, 0)                                  \
    X(int32_t, levelPoints, 0)                                      \
    X(bool, bossLevel, false)                                       \
    X(int32_t, bossHealth, 0)

#define KESTRELON_WORLD_MOTION(X)                                   \
    X(bool, oneUpEvent, false)                                      \
    X(bool, levelUpEvent, false)                                    \
    X(int32_t, shipDirection, 0) /* 0 none yet, 1 left, 2 right */  \
    X(bool, shipTurned, false)                                      \
    X(int32_t, bossDodgeDirection, 0)                               \
    X(bool, asteroidFlip, false)                                    \
    X(float, asteroidSpeed, 0.0f)                                   \
    X(float, mapYExact, 3072.0f)                                    \
    X(int32_t, mapY, 3072)                                          \
    X(float, mapYSpeed, 0.0f)                                       \
    X(int32_t, mapX, 0)

// The sprite records: ONE(name) for a single record, MANY(name, count) for
// an array. Every record starts as Sprite{}.
#define KESTRELON_WORLD_SPRITES(ONE, MANY)                          \
    ONE(ship)                                                       \
    MANY(bullets, kBulletCount)                                     \
    MANY(asteroids, kAsteroidCount)                                 \
    ONE(boss)                                                       \
    MANY(bossShots, kBossShotCount)                                 \
    ONE(menuShip)

#define KESTRELON_DECLARE_VARIABLE(type, name, start) extern type name;
#define KESTRELON_DECLARE_SPRITE(name) extern Sprite name;
#define KESTRELON_DECLARE_SPRITES(name, count) extern Sprite name[count];
KESTRELON_WORLD_SCORING(KESTRELON_DECLARE_VARIABLE)
KESTRELON_WORLD_MOTION(KESTRELON_DECLARE_VARIABLE)
KESTRELON_WORLD_SPRITES(KESTRELON_DECLARE_SPRITE, KESTRELON_DECLARE_SPRITES)
#undef KESTRELON_DECLARE_VARIABLE
#undef KESTRELON_DECLARE_SPRITE
#undef KESTRELON_DECLARE_SPRITES

// The boss is alive exactly while its record is active.
inline bool bossAlive() { return boss.active; }

// Fixed screen positions, set once at start-up by initLayout.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

extern ScreenPoint livesIconPos, livesTextPos, scoreTextPos, levelTextPos, logoPos, getReadyTextPos,
    scoreListPos, versionLabelPos, continuePos, newGamePos, highscorePos, screenModePos, quitPos, novicePos,
    heroPos;

// A collision rectangle; right and bottom are exclusive.
struct SpriteRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Every variable of the lists above back to its program-start value (the
// layout positions are left alone). Tests and benchmarks start from here.
void resetWorld();

// Resets the world for a new game at the current difficulty. Called by the
// difficulty selection once the difficulty is stored. Returns true.
bool newGame();

// The layout constants and the menu ship. Called once at start-up.
void initLayout();

// The lowest slot 0..9 whose asteroid is not active, or -1.
int32_t findFreeAsteroid();

// Brings an asteroid into play at a random place, in the lowest free slot;
// every other spawn turns its horizontal velocity round.
void spawnAsteroid();

// Steps the sprite's frame loop when its delay has passed.
void advanceAnimation(Sprite& sprite);

// The collision rectangle: position truncated, size scaled (angle ignored).
inline SpriteRect spriteRect(const Sprite& sprite)
{
    SpriteRect rect;
    rect.left = static_cast<int32_t>(sprite.x);
    rect.top = static_cast<int32_t>(sprite.y);
    rect.right = static_cast<int32_t>(static_cast<float>(sprite.width) * sprite.scale + static_cast<float>(rect.left));
    rect.bottom = static_cast<int32_t>(static_cast<float>(sprite.height) * sprite.scale + static_cast<float>(rect.top));
    return rect;
}

// Strict overlap; touching edges do not overlap.
inline bool rectsOverlap(const SpriteRect& a, const SpriteRect& b)
{
    return (a.left > b.left ? a.left : b.left) < (a.right < b.right ? a.right : b.right)
           && (a.top > b.top ? a.top : b.top) < (a.bottom < b.bottom ? a.bottom : b.bottom);
}
