// The graphics device and the screen mode: the device with its back buffer
// and sprite batcher, the off-screen map buffer, the windowed/full-screen
// switch, and the recovery of a lost device.
#pragma once
#include "platform/video.h"

#include <cstdint>

extern PlatformSurface* backBuffer;
extern PlatformSurface* mapBuffer;      // 1152 x 896: the star map is composed here
extern bool spriteBatcherMade;              // the sprite batcher exists
extern bool fullScreen;                 // the chosen screen mode; the game starts windowed
// Counts every new mapBuffer, so whoever composes into it knows when its
// content is gone.
extern uint32_t mapBufferGeneration;

constexpr int kMapBufferWidth = 1152;
constexpr int kMapBufferHeight = 896;
constexpr int kDriverErrorExitCode = 18;

// Start-up: the device, back buffer and sprite batcher. False when there is
// no device (reported on stderr).
bool createDevice();
bool createMapBuffer();
void releaseDevice();

// Toggles windowed / full screen, re-making what the reset destroyed.
void switchScreenMode();
void recreateSurfaces();

// Runs when the game is being activated and the device cannot draw: waits
// for it, resets it and re-makes its surfaces. Returns when it can draw
// again, or at once after an internal driver error (quit posted with 18);
// true when a reset succeeded on the way, so the game may run again.
bool recoverDevice();

// Clears the back buffer and depth: opaque black, depth 1, stencil 0.
void clearFrame();

// The sprite batch, with alpha blending.
bool beginSpriteBatch();
void endSpriteBatch();
