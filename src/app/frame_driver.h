// The frame driver: called by the message loop on every pass while the game
// is active. It times the frame into frameScale, lets the sound system work,
// polls input and runs exactly one mode (menu, difficulty selection or play),
// then handles Escape and the F12 screenshot.
#pragma once

enum class FrameMode { Idle, Menu, Difficulty, Play };
extern FrameMode lastFrameMode;   // what the most recent call ran

void FrameDriver();

// Saves the screen to "screen000.bmp" in the working directory.
bool takeScreenshot();
