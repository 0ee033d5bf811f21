// The program: the single-instance guard, the window, start-up, the message
// loop and shutdown. The game and the replay runner both run through here.
#pragma once
#include "platform/platform.h"

#include <cstdint>

struct GameRun {
    bool singleInstance = true;
    int64_t maxFrames = -1;            // stop after this many frame-driver calls (-1: never)
    void (*afterStartup)() = nullptr;  // called once start-up has finished
    void (*afterFrame)() = nullptr;    // called after every frame-driver call
    // Called when the player has chosen the other screen mode (the menu's
    // "Screen mode", Alt+Enter), once it is in place: the game remembers it.
    void (*screenModeChosen)(bool fullScreen) = nullptr;
};

// Returns the process exit code: the quit message's, 0 for a refused second
// copy, kStartupFailedExitCode when start-up failed.
int runKestrelon(const GameRun& run);
