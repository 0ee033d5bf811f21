// The countdown's three frames.
#include "screens/countdown.h"

#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/screen_frame.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "platform/video.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "render/format.h"
#include "screens/hud.h"
#include "screens/play.h"
#include "screens/screen_state.h"

namespace {

void drawCountdownFrame(int count)
{
    beginScreenFrame(Backdrop::StarMap, WhenLost::Draw);
    drawShip();
    drawAsteroids();
    drawDifficultyBadge();
    drawAmmoColumn();
    drawHud();
    drawText(fontArial26, getReadyTextPos.x, getReadyTextPos.y, kTextColour, "Get ready: " + formatInt(count));
    endScreenFrame();
}

} // namespace

bool runGetReadyCountdown()
{
    if (!videoDeviceExists())
        return false;
    logScreen("countdown");
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
