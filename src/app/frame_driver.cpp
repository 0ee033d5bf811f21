// Frame timing, the shared steps of every frame and the mode dispatch.
#include "app/frame_driver.h"

#include "audio/sound.h"
#include "game/gameplay.h"
#include "game/star_map.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "screens/countdown.h"
#include "screens/hud.h"
#include "screens/menus.h"
#include "scores/high_score_screen.h"
#include "screens/screen_state.h"

int64_t lastCounter = 0;
int64_t counterFrequency = 1;
float targetFps = 50.0f;
float frameScale = 1.0f;
FrameMode lastFrameMode = FrameMode::Idle;

namespace {

constexpr float kTargetFps = 50.0f;

void measureFrame()
{
    int64_t now = readPerformanceCounter();
    frameScale = static_cast<float>(now - lastCounter) / (static_cast<float>(counterFrequency) / targetFps);
    if (!(frameScale > 0.0f))
        frameScale = 1.0f;
    lastCounter = now;
}

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

void drawBossScene()
{
    drawSprite(bossTexture, truncated(boss.x), truncated(boss.y), boss.width, boss.height, boss.frame,
               boss.framesPerRow, degreesToRadians(boss.angle), boss.scale);
    for (int segment = 0; segment < healthBarSegments(); ++segment)
        drawSpriteDirect(bosshealthTexture, 32, 32, kHealthBarX, kHealthBarBottom - 32 * segment);
    for (const Sprite& shot : bossShots)
        if (shot.active)
            drawShot(shot);
}

// What the play frame draws that the countdown before it does not, readied
// so that nothing is made in the middle of play. The countdown's frames
// cover it.
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

// Draws the play scene; true when a banner was shown.
bool drawPlayScene()
{
    drawStarMap();
    drawMapBackground();
    beginSpriteBatch();
    drawHud();
    // The ship in play is always frame 7, whatever its own record says.
    drawSprite(spaceshipTexture, truncated(ship.x), truncated(ship.y), ship.width, ship.height, 7, 5, 0.0f, 1.0f);
    for (const Sprite& bullet : bullets)
        if (bullet.active)
            drawShot(bullet);
    drawAmmoColumn();
    drawDifficultyBadge();
    bool bannerShown = drawBanners();
    if (!bossLevel) {
        for (const Sprite& asteroid : asteroids)
            if (asteroid.active)
                drawSprite(asteroidTexture, truncated(asteroid.x), truncated(asteroid.y), asteroid.width,
                           asteroid.height, asteroid.frame, asteroid.framesPerRow, 0.0f, 1.0f);
    } else if (bossAlive()) {
        drawBossScene();
    }
    endSpriteBatch();
    videoEndScene();
    videoPresent();
    return bannerShown;
}

void runPlayFrame()
{
    updateWorld();
    resolveCollisions();
    scrollMap();
    if (videoBeginScene() && drawPlayScene()) {
        // The banner stays on screen for a second; that second is not play.
        sleepMilliseconds(1000);
        rebaseTimer();
    }
}

void endOfFrameChecks()
{
    if (lives <= 0) {
        runGameOverScreen();
        runHighScoreScreen();
        gameInProgress = false;
        menuActive = true;
    }
    if (keyPressed(DIK_ESCAPE))
        menuActive = true;
    if (keyPressed(DIK_F12))
        takeScreenshot();
}

} // namespace

void initTimer(float fps)
{
    targetFps = fps;
    lastCounter = readPerformanceCounter();
    counterFrequency = readPerformanceFrequency();
}

void rebaseTimer() { initTimer(kTargetFps); }

bool takeScreenshot() { return videoSaveScreenshot("screen000.bmp", !fullScreen); }

void FrameDriver()
{
    lastFrameMode = FrameMode::Idle;
    measureFrame();
    soundResult = soundUpdate();
    if (!videoDeviceExists() || quitRequested)
        return;
    pollInput();
    clearFrame();
    if (menuActive) {
        lastFrameMode = FrameMode::Menu;
        runMainMenu();
        return;
    }
    if (difficultyMenuActive) {
        lastFrameMode = FrameMode::Difficulty;
        runDifficultySelection();
        return;
    }
    lastFrameMode = FrameMode::Play;
    if (getReadyPending) {
        preparePlaySprites();
        runGetReadyCountdown();
    }
    runPlayFrame();
    endOfFrameChecks();
}
