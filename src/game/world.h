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

extern Sprite ship;
extern Sprite bullets[kBulletCount];
extern Sprite asteroids[kAsteroidCount];
extern Sprite boss;
extern Sprite bossShots[kBossShotCount];
extern Sprite menuShip;

extern int32_t lives;
extern int32_t difficulty;        // 1 Novice, 2 Hero
extern int32_t ammo;
extern int32_t score;
extern int32_t level;
extern int32_t asteroidCount;
extern int32_t extraLifePoints;
extern int32_t levelPoints;
extern bool bossLevel;
extern int32_t bossHealth;
extern bool oneUpEvent;
extern bool levelUpEvent;
extern int32_t shipDirection;     // 0 none yet, 1 left, 2 right
extern bool shipTurned;
extern int32_t bossDodgeDirection;
extern bool asteroidFlip;
extern float asteroidSpeed;
extern float mapYExact;
extern int32_t mapY;
extern float mapYSpeed;
extern int32_t mapX;

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
