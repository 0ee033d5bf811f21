// The window service: the one window and its message box, a table per
// backend (SDL's window, real or offscreen, or none), chosen once.
// Only the backends and the seam include it; the game never does.
#pragma once
#include "platform/platform.h"
#include "platform/window.h"

#include <cstdint>

struct WindowService {
    bool (*start)(const PlatformConfig& config);
    void (*stop)();
    bool (*create)(const char* title, int width, int height);
    void (*show)();
    void (*hideCursor)();
    void (*destroy)();
    void (*messageBox)(const char* caption, const char* text, BoxIcon icon);   // stderr is the seam's
};

extern const WindowService kSdlWindow;   // sdl/window_sdl.cpp
extern const WindowService kNoWindow;    // headless/window_none.cpp
void useWindow(const WindowService& service);
