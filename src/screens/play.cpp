// The play frame and its scene.
#include "screens/play.h"

#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/screen_frame.h"
#include "game/star_map.h"
#include "game/world.h"
#include "platform/clock.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "screens/hud.h"

namespace {

constexpr int kBannerX = 452;
constexpr int kBannerY = 324;
constexpr int kHealthBarX = 934;
constexpr int kHealthBarBottom = 598;
constexpr int kHealthBarMaxSegments = 25;

int truncated(float position) { return static_cast<int>(position); }

// A record of bullets or boss shots, drawn with all of its own fields.
void drawShot(const Sprite& shot)
{
    drawSprite(bulletsTexture, truncated(shot.x), truncated(shot.y), shot.width, shot.height, shot.frame,
               shot.framesPerRow, degreesToRadians(shot.angle), shot.scale);
}

// One segment per three points of health, plus one; one when below zero.
int healthBarSegments()
{
    int segments = bossHealth >= 0 ? bossHealth / 3 + 1 : 1;
    return segments < kHealthBarMaxSegments ? segments : kHealthBarMaxSegments;
}

// The extra-life and level-up banners with their sounds; true when one was
// shown, so the frame must pause.
bool drawBanners()
{
    bool shown = false;
    if (oneUpEvent) {
        playOneShot(oneUpSound);
        drawSprite(oneUpTexture, kBannerX, kBannerY, 120, 120, 0, 1, 0.0f, 0.7f);
        oneUpEvent = false;
        shown = true;
    }
    if (levelUpEvent) {
        playOneShot(levelupSound);
        drawSprite(levelupTexture, kBannerX, kBannerY, 120, 120, 0, 1, 0.0f, 0.7f);
        levelUpEvent = false;
        shown = true;
    }
    return shown;
}

void drawBoss()
{
    drawSprite(bossTexture, truncated(boss.x), truncated(boss.y), boss.width, boss.height, boss.frame,
               boss.framesPerRow, degreesToRadians(boss.angle), boss.scale);
    for (int segment = 0; segment < healthBarSegments(); ++segment)
        drawSpriteDirect(bosshealthTexture, 32, 32, kHealthBarX, kHealthBarBottom - 32 * segment);
    for (const Sprite& shot : bossShots)
        if (shot.active)
            drawShot(shot);
}

// The play scene, later items over earlier ones; true when a banner was shown.
bool drawPlayScene()
{
    drawHud();
    drawShip();
    for (const Sprite& bullet : bullets)
        if (bullet.active)
            drawShot(bullet);
    drawAmmoColumn();
    drawDifficultyBadge();
    bool bannerShown = drawBanners();
    if (!bossLevel)
        drawAsteroids();
    else if (bossAlive())
        drawBoss();
    return bannerShown;
}

} // namespace

void drawShip()
{
    drawSprite(spaceshipTexture, truncated(ship.x), truncated(ship.y), ship.width, ship.height, 7, 5, 0.0f, 1.0f);
}

void drawAsteroids()
{
    for (const Sprite& asteroid : asteroids)
        if (asteroid.active)
            drawSprite(asteroidTexture, truncated(asteroid.x), truncated(asteroid.y), asteroid.width, asteroid.height,
                       asteroid.frame, asteroid.framesPerRow, 0.0f, 1.0f);
}

void preparePlaySprites()
{
    beginSpriteBatch();
    for (const Sprite* shot : {&bullets[0], &bossShots[0]})
        prepareSprite(bulletsTexture, shot->width, shot->height, shot->frame, shot->framesPerRow,
                      degreesToRadians(shot->angle), shot->scale);
    prepareSprite(oneUpTexture, 120, 120, 0, 1, 0.0f, 0.7f);
    prepareSprite(levelupTexture, 120, 120, 0, 1, 0.0f, 0.7f);
    prepareSprite(bossTexture, boss.width, boss.height, boss.frame, boss.framesPerRow, degreesToRadians(boss.angle),
                  boss.scale);
    prepareSprite(bosshealthTexture, 32, 32, 0, 1, 0.0f, 1.0f);
    endSpriteBatch();
}

void runPlayFrame()
{
    updateWorld();
    resolveCollisions();
    scrollMap();
    if (!beginScreenFrame(Backdrop::StarMap, WhenLost::Skip))
        return;
    bool bannerShown = drawPlayScene();
    endScreenFrame();
    if (bannerShown) {
        // The banner stays on screen for a second; that second is not play.
        sleepMilliseconds(1000);
        rebaseTimer();
    }
}
