// The frame driver: called by the message loop on every pass while the game
// is active. It times the frame into frameScale, lets the sound system work,
// polls input and runs exactly one mode (menu, difficulty selection or play),
// then handles Escape and the F12 screenshot.
#pragma once
#include <cstdint>

extern int64_t lastCounter;
extern int64_t counterFrequency;
extern float targetFps;
extern float frameScale;   // time since the previous frame in units of 1/targetFps s

enum class FrameMode { Idle, Menu, Difficulty, Play };
extern FrameMode lastFrameMode;   // what the most recent call ran

void FrameDriver();

// Sets targetFps and starts timing from now.
void initTimer(float fps);

// After a pause that leads back into play: time anew from now, at 50.
void rebaseTimer();

// Saves the screen to "screen000.bmp" in the working directory.
bool takeScreenshot();
