// The graphics device, the screen-mode switch and the device recovery.
#include "render/device.h"

#include "input/input.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/assets.h"

#include <cstdio>

PlatformSurface* backBuffer = nullptr;
PlatformSurface* mapBuffer = nullptr;
bool spriteBatcherMade = false;
bool fullScreen = false;
uint32_t mapBufferGeneration = 0;

namespace {

void fontsLost()
{
    fontOnLostDevice(fontArial26);
    fontOnLostDevice(fontArial48);
    fontOnLostDevice(fontCourier22);
}

// Everything a reset destroys, each released once and only if it exists:
// a retried reset finds some of them already gone.
void releaseDefaultPoolObjects()
{
    videoReleaseSurface(mapBuffer);
    mapBuffer = nullptr;
    videoReleaseSurface(spacemapSurface);
    spacemapSurface = nullptr;
    if (spriteBatcherMade)
        videoReleaseSpriteBatch();
    spriteBatcherMade = false;
    backBuffer = nullptr;
}

} // namespace

bool createDevice()
{
    if (!videoCreateDevice(!fullScreen))
        return false;
    backBuffer = videoGetBackBuffer();
    spriteBatcherMade = videoCreateSpriteBatch();
    return true;
}

bool createMapBuffer()
{
    mapBuffer = videoCreateOffscreenSurface(kMapBufferWidth, kMapBufferHeight);
    ++mapBufferGeneration;
    return mapBuffer != nullptr;
}

void releaseDevice()
{
    if (spriteBatcherMade)
        videoReleaseSpriteBatch();
    spriteBatcherMade = false;
    backBuffer = nullptr;
    videoReleaseDevice();
}

void recreateSurfaces()
{
    spriteBatcherMade = videoCreateSpriteBatch();
    backBuffer = videoGetBackBuffer();
    fontOnResetDevice(fontArial26);
    fontOnResetDevice(fontArial48);
    fontOnResetDevice(fontCourier22);
    spacemapSurface = loadSurface(kSpacemapPath);
    mapBuffer = videoCreateOffscreenSurface(kMapBufferWidth, kMapBufferHeight);
    ++mapBufferGeneration;
}

void switchScreenMode()
{
    fullScreen = !fullScreen;
    fontsLost();
    releaseDefaultPoolObjects();
    videoResetDevice(!fullScreen);
    reacquireInput();
    recreateSurfaces();
}

bool recoverDevice()
{
    bool reset = false;
    for (;;) {
        sleepMilliseconds(100);
        switch (videoTestCooperativeLevel()) {
        case CooperativeLevel::Ok:
            return reset;
        case CooperativeLevel::DeviceNotReset:
            sleepMilliseconds(100);
            fontsLost();
            releaseDefaultPoolObjects();
            if (videoResetDevice(!fullScreen)) {
                recreateSurfaces();
                reset = true;
            }
            break;
        case CooperativeLevel::DriverInternalError:
            // Nothing can be drawn any more: end the game, and stop waiting.
            postQuitMessage(kDriverErrorExitCode);
            return reset;
        case CooperativeLevel::DeviceLost:
            break;
        }
    }
}

void clearFrame() { videoClear(0xFF000000); }

bool beginSpriteBatch() { return spriteBatcherMade && spriteBatchBegin(); }

void endSpriteBatch() { spriteBatchEnd(); }
