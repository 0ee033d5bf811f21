// Numbers as the game writes them on screen.
#pragma once
#include <cstdint>
#include <string>

// An integer as plain decimal text: minus sign when negative, nothing else
// (no leading zeros, no grouping, no width).
std::string formatInt(int32_t value);
