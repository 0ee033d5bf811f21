// The HUD's three operations.
#include "screens/hud.h"

#include "game/world.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "render/format.h"

#include <algorithm>

namespace {

constexpr int kIconSize = 32;
constexpr int kAmmoColumnIcons = 24;
constexpr int kAmmoColumnBottom = 736;

void drawNumberText(const ScreenPoint& at, const char* prefix, int32_t value)
{
    drawText(fontArial26, at.x, at.y, kTextColour, prefix + formatInt(value));
}

} // namespace

void drawHud()
{
    drawSprite(spaceshipTexture, livesIconPos.x, livesIconPos.y, ship.width, ship.height, 7, 5, 0.0f, 0.5f);
    drawNumberText(livesTextPos, "x ", lives);
    drawNumberText(scoreTextPos, "Score: ", score);
    drawNumberText(levelTextPos, "Level: ", level);
}

void drawDifficultyBadge()
{
    PlatformTexture* badge = difficulty == 1 ? skill1Texture : difficulty == 2 ? skill2Texture : nullptr;
    if (badge)
        drawSprite(badge, 924, 708, 64, 64, 0, 1, 0.0f, 0.7f);
}

void drawAmmoColumn()
{
    PlatformTexture* icon = difficulty == 1 ? ammoguiTexture : difficulty == 2 ? ammogui2Texture : nullptr;
    if (!icon)
        return;
    const int icons = std::min(ammo, kAmmoColumnIcons);
    for (int i = 0; i < icons; ++i)
        drawSpriteDirect(icon, kIconSize, kIconSize, 0, kAmmoColumnBottom - kIconSize * i);
}
