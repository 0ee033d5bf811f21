// The world's time: frameScale, the factor every movement is multiplied by,
// and the timer it is measured with. The frame driver measures it once per
// frame; the pauses that lead back into play time it anew.
#pragma once
#include <cstdint>

extern int64_t lastCounter;       // the counter at the last frame or re-basing
extern int64_t counterFrequency;  // counts per second, read at each re-basing
extern float targetFps;
extern float frameScale;          // time since the previous frame in units of 1/targetFps s

// Sets targetFps and starts timing from now.
void initTimer(float fps);

// After a pause that leads back into play: time anew from now, at 50.
void rebaseTimer();

// The time since the last measurement (or re-basing) into frameScale; two
// readings of the same counter value count as 1.0.
void measureFrame();
