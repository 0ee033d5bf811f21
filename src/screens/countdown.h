// The get-ready countdown before a new game's first play frame: the frozen
// scene three times with "Get ready: " 3, 2, 1, one second each.
#pragma once

// Blocks for the three seconds, then marks the game in progress and times
// play anew. False (and nothing done) without a graphics device.
bool runGetReadyCountdown();
