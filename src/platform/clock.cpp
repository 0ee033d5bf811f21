// The real clock is SDL's; the virtual one counts microseconds from 0.
#include "platform/clock.h"

#include "platform/platform.h"
#include "platform/recorder.h"

#include <SDL.h>

namespace {
int64_t virtualMicroseconds = 0;
constexpr int64_t kVirtualFrequency = 1000000;
constexpr int64_t kVirtualPassMicroseconds = 20000;

bool virtualClock() { return platformConfig.clock == ClockBackend::Virtual; }
}

int64_t readPerformanceCounter()
{
    return virtualClock() ? virtualMicroseconds : static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t readPerformanceFrequency()
{
    return virtualClock() ? kVirtualFrequency : static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

uint32_t readTickCount()
{
    if (virtualClock())
        return static_cast<uint32_t>(virtualMicroseconds / 1000);
    return SDL_GetTicks();
}

void sleepMilliseconds(uint32_t ms)
{
    recordSleep(ms);
    if (virtualClock())
        virtualMicroseconds += static_cast<int64_t>(ms) * 1000;
    else
        SDL_Delay(ms);
}

void yieldProcessor()
{
    if (!virtualClock())
        SDL_Delay(1);
}

void advanceVirtualClockForPass()
{
    if (virtualClock())
        virtualMicroseconds += kVirtualPassMicroseconds;
}

void resetVirtualClock() { virtualMicroseconds = 0; }
