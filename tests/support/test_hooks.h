// Hooks for tests only, built into the tests' support library and never
// into the game: events as if they came from the window system, a virtual
// game controller, a window resized by the player, and the key table.
// (They talk to SDL and to the SDL backend's own state.)
#pragma once
#include <cstdint>

void injectKeyEventForTest(int scancode, bool down);
void injectFocusEventForTest(bool gained);
// A game controller plugged in (SDL's virtual joystick), moved and pulled out.
bool plugVirtualPadForTest();
void moveVirtualPadForTest(int16_t leftX, int16_t leftY);
void unplugVirtualPadForTest();
// The player drags the window to this inside size.
void windowResizeForTest(int width, int height);
// The DirectInput code SDL's scancode `scancode` maps to (0 for none).
int keyCodeForScancode(int scancode);
