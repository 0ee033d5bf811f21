// The player's ship: flying from the arrow keys and the left stick, firing
// pairs of shots, and the shots rising off the screen.
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/world.h"
#include "input/input.h"

namespace {

constexpr int kStickDeadZone = 2000;

bool held(int code) { return (keyState[code] & 0x80) != 0; }

void turnShip(int32_t direction)
{
    if (shipDirection != direction) {
        shipDirection = direction;
        shipTurned = true;
    }
}

// The lowest-numbered shot not in flight, or nullptr.
Sprite* freeBullet()
{
    for (Sprite& bullet : bullets)
        if (!bullet.active)
            return &bullet;
    return nullptr;
}

} // namespace

void moveShip()
{
    const float s = frameScale;
    if (held(DIK_LEFT) || padState.thumbLX < -kStickDeadZone) {
        ship.x -= ship.vx * s;
        turnShip(1);
    }
    if (held(DIK_RIGHT) || padState.thumbLX > kStickDeadZone) {
        ship.x += ship.vx * s;
        turnShip(2);
    }
    // The stick pulled back (below -2000) flies up, as a flight stick does.
    if (held(DIK_UP) || padState.thumbLY < -kStickDeadZone)
        ship.y -= ship.vy * s;
    if (held(DIK_DOWN) || padState.thumbLY > kStickDeadZone)
        ship.y += ship.vy * s;
    if (ship.x < 0.0f)
        ship.x = 0.0f;
    if (ship.x > static_cast<float>(kScreenWidth - ship.width))
        ship.x = static_cast<float>(kScreenWidth - ship.width);
    if (ship.y < 0.0f)
        ship.y = 0.0f;
    if (ship.y > static_cast<float>(kScreenHeight - ship.height))
        ship.y = static_cast<float>(kScreenHeight - ship.height);
}

void fireShots()
{
    if (!keyPressed(DIK_SPACE) || ammo <= 0)
        return;
    playOneShot(shootSound);
    if (Sprite* left = freeBullet()) {
        left->active = true;
        left->x = ship.x;
        left->y = ship.y;
    }
    if (Sprite* right = freeBullet()) {
        right->active = true;
        right->x = ship.x + static_cast<float>(ship.width) - static_cast<float>(right->width);
        right->y = ship.y;
    }
    // Two units even when only one shot was free; 1 left goes to -1.
    ammo -= 2;
}

void moveBullets()
{
    for (Sprite& bullet : bullets)
        if (bullet.active)
            bullet.y += bullet.vy * frameScale;
    for (Sprite& bullet : bullets)
        if (bullet.active && bullet.y < 0.0f)
            bullet.active = false;
}
