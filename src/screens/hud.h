// The heads-up display: lives, score and level at the top right, the
// ammunition column at the left edge and the difficulty badge at the bottom
// right. Drawn afresh from the world inside the caller's sprite batch.
#pragma once

void drawHud();
void drawDifficultyBadge();
void drawAmmoColumn();
