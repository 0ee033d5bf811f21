// The heads-up display: lives, score and level at the top right, the
// ammunition column at the left edge and the difficulty badge at the bottom
// right. Drawn afresh from the world inside the caller's sprite batch.
#pragma once
#include <cstdint>
#include <string>

// An integer as plain decimal text: minus sign when negative, nothing else.
std::string formatInt(int32_t value);

void drawHud();
void drawDifficultyBadge();
void drawAmmoColumn();
