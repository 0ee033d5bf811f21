// The main menu: music, the animated ship, the logo, five items, and (with a
// game in progress) the HUD and Continue.
#include "screens/menus.h"

#include "audio/sound.h"
#include "game/screen_frame.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "scores/high_score_screen.h"
#include "screens/hud.h"
#include "screens/screen_state.h"


#include <algorithm>

namespace {

enum MenuItem { kContinue = 1, kNewGame, kHighscore, kScreenMode, kQuit };

const char* const kVersionLabel = "v0.3 testing only, do not distribute!";

void drawItem(MenuItem item, const ScreenPoint& at, const char* text)
{
    drawText(fontArial48, at.x, at.y, menuCursor == item ? kHighlightColour : kTextColour, text);
}

void drawMenuFrame()
{
    if (gameInProgress) {
        drawHud();
        drawItem(kContinue, continuePos, "Continue");
    }
    drawItem(kNewGame, newGamePos, "New game");
    drawItem(kHighscore, highscorePos, "Highscore");
    drawItem(kScreenMode, screenModePos, "Screen mode");
    drawItem(kQuit, quitPos, "Quit");
    drawLogo(logoPos.x, logoPos.y, 0.6f);
    drawText(fontArial26, versionLabelPos.x, versionLabelPos.y, kTextColour, kVersionLabel);
    drawSprite(spaceshipTexture, static_cast<int>(menuShip.x), static_cast<int>(menuShip.y), menuShip.width,
               menuShip.height, menuShip.frame, menuShip.framesPerRow, 0.0f, menuShip.scale);
}

// Up, then Down, from where the cursor is; clamped, never wrapping.
void moveCursor()
{
    int32_t cursor = menuCursor;
    if (keyPressed(DIK_UP))
        --cursor;
    if (keyPressed(DIK_DOWN))
        ++cursor;
    menuCursor = std::clamp(cursor, gameInProgress ? int32_t{kContinue} : int32_t{kNewGame}, int32_t{kQuit});
}

void choose()
{
    switch (menuCursor) {
    case kContinue:
        menuActive = false;
        stopLoopingTune();
        break;
    case kNewGame:
        menuActive = false;
        difficultyMenuActive = true;
        break;
    case kHighscore:
        runHighScoreScreen();
        break;
    case kScreenMode:
        switchScreenMode();
        break;
    case kQuit:
        runCreditsScreen();
        quitRequested = true;
        postQuitMessage(0);
        break;
    }
}

} // namespace

void runMainMenu()
{
    startLoopingTune(menubgndSound);
    advanceAnimation(menuShip);
    if (beginScreenFrame(Backdrop::StarMap, WhenLost::Skip)) {
        drawMenuFrame();
        endScreenFrame();
    }
    moveCursor();
    sleepMilliseconds(50);
    if (keyPressed(DIK_RETURN))
        choose();
}
