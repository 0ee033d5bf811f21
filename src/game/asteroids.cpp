// Asteroids: bouncing and tumbling, the extra-life and level-up checks, and
// the collisions of an ordinary level (ship, shots, each other).
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/world.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kExtraLifeMark = 250;
constexpr int32_t kLevelUpMark = 200;
constexpr int32_t kPointsPerAsteroid = 10;
constexpr int32_t kTopLevel = 10;

// Ammunition for one asteroid shot down, by level and difficulty.
int32_t ammoReward()
{
    if (level <= 1 || difficulty == 2)
        return 1;
    return level <= 5 ? 2 : 0;
}

bool bossLevelFor(int32_t newLevel)
{
    if (difficulty == 1)
        return newLevel == 3 || newLevel == 5 || newLevel == 7;
    if (difficulty == 2)
        return newLevel == 4 || newLevel == 6 || newLevel == 8;
    return false;
}

struct Centre {
    float x, y;
    double radius;
};

Centre centreOf(const Sprite& asteroid)
{
    double radius = static_cast<double>(std::max(asteroid.width, asteroid.height)) * asteroid.scale * 0.5;
    return {static_cast<float>(asteroid.x + radius), static_cast<float>(asteroid.y + radius), radius};
}

// reach > sqrt(distanceSquared), with the square root taken only when the
// two are too close to tell apart by their squares.
bool touching(double reach, double distanceSquared)
{
    const double reachSquared = reach * reach;
    if (distanceSquared > reachSquared * (1.0 + 1e-9))
        return false;
    if (distanceSquared < reachSquared * (1.0 - 1e-9))
        return true;
    return reach > std::sqrt(distanceSquared);
}

void shipAgainstAsteroids()
{
    const SpriteRect shipRect = spriteRect(ship);
    for (Sprite& asteroid : asteroids) {
        if (!asteroid.active || !rectsOverlap(shipRect, spriteRect(asteroid)))
            continue;
        --lives;
        extraLifePoints = 0;
        asteroid.active = false;
        playOneShot(hitSound);
        ammo = std::min(ammo + 5, kMaxAmmo);
        spawnAsteroid();
    }
}

void bulletsAgainstAsteroids()
{
    // The live asteroids' rectangles are gathered once, and again after a hit
    // brings in a replacement; the scan order stays bullet by bullet, slot by
    // slot.
    SpriteRect liveRects[kAsteroidCount];
    int liveSlots[kAsteroidCount];
    int liveCount = 0;
    auto gatherAsteroids = [&] {
        liveCount = 0;
        for (int slot = 0; slot < kAsteroidCount; ++slot)
            if (asteroids[slot].active) {
                liveRects[liveCount] = spriteRect(asteroids[slot]);
                liveSlots[liveCount++] = slot;
            }
    };
    gatherAsteroids();
    for (Sprite& bullet : bullets) {
        if (!bullet.active)
            continue;
        const SpriteRect bulletRect = spriteRect(bullet);
        for (int live = 0; live < liveCount && bullet.active; ++live) {
            if (!rectsOverlap(bulletRect, liveRects[live]))
                continue;
            Sprite& asteroid = asteroids[liveSlots[live]];
            float dx = ship.x - asteroid.x;
            float dy = ship.y - asteroid.y;
            score += kPointsPerAsteroid;
            extraLifePoints += kPointsPerAsteroid;
            levelPoints += kPointsPerAsteroid;
            asteroid.active = false;
            bullet.active = false;
            playScoreSound(dx, dy);
            ammo = std::min(ammo + ammoReward(), kMaxAmmo);
            spawnAsteroid();
            gatherAsteroids();
        }
    }
}

// Each asteroid of a touching pair turns round in its own pass. Only
// velocities change here, so every centre is worked out once.
void asteroidsAgainstEachOther()
{
    if (asteroidCount <= 1)
        return;
    Centre centres[kAsteroidCount];
    for (int i = 0; i < kAsteroidCount; ++i)
        centres[i] = centreOf(asteroids[i]);
    for (int i = 0; i < kAsteroidCount; ++i) {
        if (!asteroids[i].active)
            continue;
        for (int j = 0; j < kAsteroidCount; ++j) {
            if (j == i || !asteroids[j].active)
                continue;
            const Centre& a = centres[i];
            const Centre& b = centres[j];
            double dx = static_cast<double>(a.x) - b.x;
            double dy = static_cast<double>(a.y) - b.y;
            if (touching(a.radius + b.radius, dx * dx + dy * dy)) {
                asteroids[i].vx = -asteroids[i].vx;
                asteroids[i].vy = -asteroids[i].vy;
            }
        }
    }
}

} // namespace

void moveAsteroids()
{
    const float s = frameScale;
    for (Sprite& asteroid : asteroids) {
        if (!asteroid.active)
            continue;
        asteroid.x += asteroid.vx * s;
        asteroid.y += asteroid.vy * s;
        if (asteroid.x < 0.0f || asteroid.x > static_cast<float>(kScreenWidth - asteroid.width))
            asteroid.vx = -asteroid.vx;
        if (asteroid.y < 0.0f || asteroid.y > static_cast<float>(kScreenHeight - asteroid.height))
            asteroid.vy = -asteroid.vy;
    }
    for (Sprite& asteroid : asteroids)
        if (asteroid.active)
            advanceAnimation(asteroid);
}

// Reached or passed: two asteroids shot in one frame can carry the counter
// past the mark, and the event must still come.
void checkExtraLife()
{
    if (extraLifePoints >= kExtraLifeMark) {
        ++lives;
        oneUpEvent = true;
        extraLifePoints = 0;
    }
}

void checkLevelUp()
{
    if (levelPoints < kLevelUpMark)
        return;
    levelUpEvent = true;
    if (level < kTopLevel)
        ++level;
    ammo = std::min(ammo + 10, kMaxAmmo);
    levelPoints = 0;
    asteroidCount = level;
    for (int i = 0; i < asteroidCount; ++i)
        asteroids[i].active = false;
    for (int i = 0; i < asteroidCount; ++i)
        spawnAsteroid();
    if (bossLevelFor(level))
        startBossFight();
}

void resolveAsteroidCollisions()
{
    shipAgainstAsteroids();
    bulletsAgainstAsteroids();
    asteroidsAgainstEachOther();
}
