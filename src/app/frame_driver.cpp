// Frame timing, the shared steps of every frame and the mode dispatch.
#include "app/frame_driver.h"

#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/video.h"
#include "render/device.h"
#include "scores/high_score_screen.h"
#include "screens/countdown.h"
#include "screens/menus.h"
#include "screens/play.h"
#include "screens/screen_state.h"

FrameMode lastFrameMode = FrameMode::Idle;

namespace {

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

bool takeScreenshot() { return videoSaveScreenshot("screen000.bmp", !fullScreen); }

// Each mode's frame begins with the clear of the back buffer (see
// beginScreenFrame), so the driver itself draws nothing.
void FrameDriver()
{
    lastFrameMode = FrameMode::Idle;
    measureFrame();
    soundResult = soundUpdate();
    if (!videoDeviceExists() || quitRequested)
        return;
    pollInput();
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
