// The clock service: a table of functions each clock backend fills (the
// real one on SDL, the virtual one of replays), chosen once by platformStart.
// Only the backends and the seam include it; the game never does.
#pragma once
#include "platform/platform.h"

#include <cstdint>

struct ClockService {
    void (*start)();
    int64_t (*performanceCounter)();
    int64_t (*peekCounter)();   // the counter without moving a sampled clock
    int64_t (*performanceFrequency)();
    uint32_t (*tickCount)();
    void (*sleep)(uint32_t ms);
    void (*yield)();
    void (*newPass)();   // the message loop starts a pass
};

// A clock's counter in whole microseconds (without overflowing on a
// nanosecond counter of a machine up for years).
inline int64_t microsecondsOf(const ClockService& clock)
{
    const int64_t counter = clock.performanceCounter();
    const int64_t frequency = clock.performanceFrequency();
    return counter / frequency * 1000000 + counter % frequency * 1000000 / frequency;
}

extern const ClockService kSdlClock;       // sdl/clock_sdl.cpp
extern const ClockService kVirtualClock;   // headless/clock_virtual.cpp
void useClock(const ClockService& service);
