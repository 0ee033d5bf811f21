// The difficulty choice after New game: Novice or Hero starts a fresh game
// with its countdown; Escape goes back to the menu, the old game intact.
#include "screens/menus.h"

#include "audio/sound.h"
#include "game/screen_frame.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "screens/screen_state.h"


#include <algorithm>

namespace {

constexpr int32_t kNovice = 1;
constexpr int32_t kHero = 2;

void drawChoice(int32_t choice, const ScreenPoint& at, const char* text)
{
    drawText(fontArial48, at.x, at.y, difficultyCursor == choice ? kHighlightColour : kTextColour, text);
}

void drawDifficultyFrame()
{
    drawText(fontArial48, continuePos.x, continuePos.y, kTextColour, "Select a difficulty");
    drawChoice(kNovice, novicePos, "Novice");
    drawChoice(kHero, heroPos, "Hero");
    drawSprite(spaceshipTexture, static_cast<int>(menuShip.x), static_cast<int>(menuShip.y), menuShip.width,
               menuShip.height, menuShip.frame, menuShip.framesPerRow, 0.0f, menuShip.scale);
    drawSprite(skill1Texture, newGamePos.x + 200, newGamePos.y, 64, 64, 0, 1, 0.0f, 0.7f);
    drawSprite(skill2Texture, highscorePos.x + 200, highscorePos.y, 64, 64, 0, 1, 0.0f, 0.7f);
}

} // namespace

void runDifficultySelection()
{
    advanceAnimation(menuShip);
    if (beginScreenFrame(Backdrop::StarMap, WhenLost::Skip)) {
        drawDifficultyFrame();
        endScreenFrame();
    }
    int32_t cursor = difficultyCursor;
    if (keyPressed(DIK_UP))
        --cursor;
    if (keyPressed(DIK_DOWN))
        ++cursor;
    if (keyPressed(DIK_ESCAPE)) {
        difficultyMenuActive = false;
        menuActive = true;
    }
    difficultyCursor = std::clamp(cursor, kNovice, kHero);
    sleepMilliseconds(50);
    if (keyPressed(DIK_RETURN)) {
        // The difficulty first: the new game reads it.
        difficulty = difficultyCursor;
        difficultyMenuActive = false;
        gameInProgress = true;
        newGame();
        getReadyPending = true;
        stopLoopingTune();
    }
}
