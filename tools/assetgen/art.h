// The pictures. Each function draws one file's content onto a fresh canvas of
// the file's exact size; transparent texels are what becomes the key colour.
#pragma once
#include "canvas.h"

#include <cstdint>
#include <vector>

namespace assetgen {

// Sizes and layouts the game reads the files with.
inline constexpr int kShipFrameW = 127, kShipFrameH = 152, kShipColumns = 5, kShipFrames = 10;
inline constexpr int kBulletCell = 32, kBulletColumns = 8;
inline constexpr int kPlayerBoltCell = 55, kBossShotCell = 48;
inline constexpr int kRockFrame = 60, kRockColumns = 8, kRockFrames = 64;

void drawSpaceship(Canvas& canvas);      // 635 x 304
void drawShipIcon(Canvas& canvas);       // one frame, nose up, filling a square of any size
void drawBullets(Canvas& canvas);        // 256 x 256
void drawAsteroids(Canvas& canvas);      // 480 x 480
void drawBoss(Canvas& canvas);           // 219 x 144
void drawLogo(Canvas& canvas);           // 900 x 300
void drawGameOver(Canvas& canvas);       // 336 x 95
void drawSkillBadge(Canvas& canvas, bool hero); // 64 x 64
void drawOneUp(Canvas& canvas);          // 120 x 120
void drawLevelUp(Canvas& canvas);        // 120 x 120
void drawBossHealth(Canvas& canvas);     // 32 x 32
void drawAmmo(Canvas& canvas, bool hero); // 32 x 32

// The 1024 x 832 atlas: picture tile (r, c) goes to cell r * 16 + c + 1.
std::vector<uint32_t> starMapAtlas(const std::vector<uint32_t>& picture);

} // namespace assetgen
