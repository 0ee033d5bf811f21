// One JSON line per frame-driver call: the screen flags, the world, what was
// heard, slept and presented, and (optionally) the last presented frame's
// draws.
#pragma once
#include <cstdint>
#include <string>

// Appends the line for call number `callNumber` (ending in '\n') to `out`.
void appendTraceLine(std::string& out, int64_t callNumber, bool withDraws);
