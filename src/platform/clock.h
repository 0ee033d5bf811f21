// Time: the high-resolution counter, the millisecond tick count and sleeping.
// On the virtual clock time moves only when the message loop starts a pass
// (advanceClockForPass) and by exactly the requested time per sleep.
#pragma once
#include <cstdint>

int64_t readPerformanceCounter();
int64_t readPerformanceFrequency();
uint32_t readTickCount();               // milliseconds, wraps like GetTickCount
void sleepMilliseconds(uint32_t ms);    // the game's Sleep: recorded
void yieldProcessor();                  // a 1 ms breather inside a wait loop; no virtual time passes

// The counter's value now, for whoever watches the game (a trace): unlike
// readPerformanceCounter it never moves a recorded clock.
int64_t peekPerformanceCounter();

// The message loop starts a pass: +20 ms on the virtual clock, nothing on
// the real one.
void advanceClockForPass();
