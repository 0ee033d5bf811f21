// The keyboard and controller state the game reads, polled once per frame
// (and once per pass by the screens that wait for a key). "Held" is bit 7 of
// a key's byte in keyState; "pressed" means held now and up at the previous
// poll, which is what keyPressed answers.
#pragma once
#include "platform/input.h"

#include <cstdint>

// DirectInput key codes of the keys the game reads.
constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_RETURN = 0x1C;
constexpr int DIK_SPACE = 0x39;
constexpr int DIK_F12 = 0x58;
constexpr int DIK_UP = 0xC8;
constexpr int DIK_LEFT = 0xCB;
constexpr int DIK_RIGHT = 0xCD;
constexpr int DIK_DOWN = 0xD0;
constexpr int DIK_LMENU = 0x38;   // the Alt keys
constexpr int DIK_RMENU = 0xB8;
constexpr int DIK_NUMPADENTER = 0x9C;

extern uint8_t keyState[256];
extern uint8_t previousKeyState[256];
extern PadState padState;

// Start-up, after the graphics device: false only when no keyboard can be had.
bool initInput();
void shutdownInput();

// Refreshes previousKeyState, keyState and padState. A keyboard that cannot
// be read leaves every key up. Alt+Enter, on any screen, calls
// screenModeSwitch (set at start-up: the menu's "Screen mode"); that Enter
// then reads as up to the screens until it is let go.
void pollInput();
extern void (*screenModeSwitch)();

// True when key `code` went down between the last two polls.
bool keyPressed(int code);

// On activation and after a screen-mode switch: reads the keyboard again and
// re-acquires it when it was lost. Always true.
bool reacquireInput();
