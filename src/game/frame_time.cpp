// The frame timer on the high-resolution counter.
#include "game/frame_time.h"

#include "platform/clock.h"

int64_t lastCounter = 0;
int64_t counterFrequency = 1;
float targetFps = 50.0f;
float frameScale = 1.0f;

namespace {
constexpr float kTargetFps = 50.0f;
}

void initTimer(float fps)
{
    targetFps = fps;
    lastCounter = readPerformanceCounter();
    counterFrequency = readPerformanceFrequency();
}

void rebaseTimer() { initTimer(kTargetFps); }

void measureFrame()
{
    int64_t now = readPerformanceCounter();
    frameScale = static_cast<float>(now - lastCounter) / (static_cast<float>(counterFrequency) / targetFps);
    if (!(frameScale > 0.0f))
        frameScale = 1.0f;
    lastCounter = now;
}
