// The countdown's three frames.
#include "screens/countdown.h"

#include "app/frame_driver.h"
#include "audio/sound.h"
#include "game/star_map.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/recorder.h"
#include "platform/video.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "screens/hud.h"
#include "screens/screen_state.h"

namespace {

void drawCountdownFrame(int count)
{
    clearFrame();
    videoBeginScene();
    drawStarMap();
    drawMapBackground();
    beginSpriteBatch();
    drawSprite(spaceshipTexture, static_cast<int>(ship.x), static_cast<int>(ship.y), ship.width, ship.height, 7,
               5, 0.0f, 1.0f);
    for (const Sprite& asteroid : asteroids)
        if (asteroid.active)
            drawSprite(asteroidTexture, static_cast<int>(asteroid.x), static_cast<int>(asteroid.y), asteroid.width,
                       asteroid.height, asteroid.frame, asteroid.framesPerRow, 0.0f, 1.0f);
    drawDifficultyBadge();
    drawAmmoColumn();
    drawHud();
    drawText(fontArial26, getReadyTextPos.x, getReadyTextPos.y, kTextColour, "Get ready: " + formatInt(count));
    endSpriteBatch();
    videoEndScene();
    videoPresent();
}

} // namespace

bool runGetReadyCountdown()
{
    if (!videoDeviceExists())
        return false;
    recordScreen("countdown");
    playOneShot(countdownSound);
    for (int count = 3; count > 0; --count) {
        drawCountdownFrame(count);
        sleepMilliseconds(1000);
    }
    gameInProgress = true;
    getReadyPending = false;
    rebaseTimer();
    return true;
}
