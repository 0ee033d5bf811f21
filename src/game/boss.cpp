// The boss fight: the boss patrols, dodges the ship's turns and drops pairs
// of shots; thirty hits kill it for 500 points and an extra life.
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/world.h"

#include <cmath>

namespace {

constexpr int32_t kBossFullHealth = 30;
constexpr int32_t kBossReward = 500;
constexpr float kDodgeDistance = 100.0f;
constexpr float kKnockDown = 150.0f;

void patrol()
{
    boss.x += boss.vx * frameScale;
    if (boss.x < 0.0f)
        boss.vx = -boss.vx;
    if (boss.x > static_cast<float>(kScreenWidth - boss.width))
        boss.vx = -boss.vx;
}

// A turn of the ship near the boss makes it turn too, unless the ship now
// flies the way that caused the last dodge.
void dodge()
{
    if (shipTurned && shipDirection != bossDodgeDirection && std::fabs(boss.x - ship.x) < kDodgeDistance) {
        boss.vx = -boss.vx;
        shipTurned = false;
        bossDodgeDirection = shipDirection;
    }
}

void fire()
{
    if (bossShots[0].active || bossShots[1].active)
        return;
    playOneShot(bossshootSound);
    bossShots[0].x = boss.x + 5.0f;
    bossShots[1].x = boss.x + static_cast<float>(boss.width) - 5.0f;
    for (Sprite& shot : bossShots) {
        shot.y = boss.y + static_cast<float>(boss.height);
        shot.active = true;
    }
}

void moveShots()
{
    for (Sprite& shot : bossShots)
        if (shot.active)
            shot.y += shot.vy * frameScale;
    for (Sprite& shot : bossShots)
        if (shot.active && shot.y > static_cast<float>(kScreenHeight))
            shot.active = false;
}

} // namespace

void startBossFight()
{
    bossDodgeDirection = shipDirection;
    bossHealth = kBossFullHealth;
    boss.active = true;
    bossLevel = true;
}

void bossStep()
{
    if (bossAlive()) {
        patrol();
        dodge();
        fire();
        moveShots();
    }
    if (bossHealth <= 0) {
        score += kBossReward;
        boss.active = false;
        bossLevel = false;
        ++lives;
        oneUpEvent = true;
        extraLifePoints = 0;
    } else {
        checkExtraLife();
    }
}

void resolveBossCollisions()
{
    if (!bossAlive())
        return;
    const SpriteRect bossRect = spriteRect(boss);
    if (rectsOverlap(spriteRect(ship), bossRect)) {
        ship.y += kKnockDown;
        --lives;
        playOneShot(hitSound);
    }
    for (Sprite& bullet : bullets) {
        if (bullet.active && rectsOverlap(spriteRect(bullet), bossRect)) {
            --bossHealth;
            ++ammo;   // a refund, even above the usual 25
            bullet.active = false;
        }
    }
    const SpriteRect shipRect = spriteRect(ship);
    for (Sprite& shot : bossShots) {
        if (shot.active && rectsOverlap(spriteRect(shot), shipRect)) {
            --lives;
            shot.active = false;
            playOneShot(hitSound);
        }
    }
}
