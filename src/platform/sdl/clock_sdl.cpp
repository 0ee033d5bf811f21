// The real clock: SDL's counter, tick count and sleep.
#include "platform/clock_service.h"

#include <SDL.h>

const ClockService kSdlClock = {
    .start = [] {},
    .performanceCounter = [] { return static_cast<int64_t>(SDL_GetPerformanceCounter()); },
    .peekCounter = [] { return static_cast<int64_t>(SDL_GetPerformanceCounter()); },
    .performanceFrequency = [] { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); },
    .tickCount = [] { return static_cast<uint32_t>(SDL_GetTicks()); },
    .sleep = [](uint32_t ms) { SDL_Delay(ms); },
    .yield = [] { SDL_Delay(1); },
    .newPass = [] {},
};
