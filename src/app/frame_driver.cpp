// Frame timing, the shared steps of every frame and the mode dispatch.
#include "app/frame_driver.h"

#include "audio/sound.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "render/device.h"
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

void endOfFrameChecks()
{
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
        return;
    }
    if (difficultyMenuActive) {
        lastFrameMode = FrameMode::Difficulty;
        return;
    }
    lastFrameMode = FrameMode::Play;
    endOfFrameChecks();
}
