// Waiting for a key inside a blocking screen, with the window kept alive:
// window messages are still handled (so closing the window ends the game
// promptly, and getting the focus back re-acquires the keyboard), and the
// processor gets a breather between polls without a press being missed.
#pragma once
#include "platform/window.h"

// The window procedure, set once at start-up; the waits hand it messages.
extern void (*blockingMessageHandler)(const Message& message);

// True once the window has been closed: every wait then ends at once, and
// the game goes on only far enough to keep what the player has earned.
bool windowClosed();
void setWindowClosed(bool closed);

// Polls until `code` is pressed. False when the window was closed instead
// (or, in a replay, the script ended: nobody is left to press it).
bool waitForKeyPress(int code);

// One pass of the same: handles at most one window message; false when the
// window has been closed. For loops that test several keys themselves.
bool keepWindowAlive();
