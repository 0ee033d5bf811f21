// The high-score screen: one frame, then a wait for Space.
#include "scores/high_score_screen.h"

#include "audio/sound.h"
#include "game/star_map.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/recorder.h"
#include "platform/video.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "scores/score_table.h"
#include "screens/blocking_wait.h"
#include "screens/hud.h"

namespace {

constexpr int kRowPitch = 40;
constexpr int kNameColumn = 200;

void drawTable()
{
    clearFrame();
    videoBeginScene();
    drawStarMap();
    drawMapBackground();
    beginSpriteBatch();
    drawSprite(gamelogoTexture, logoPos.x, logoPos.y, 900, 300, 0, 1, 0.0f, 0.6f);
    for (int place = 1; place <= kScoreTableSize; ++place) {
        const ScoreEntry& entry = scoreTable[place - 1];
        int y = scoreListPos.y + kRowPitch * (place - 1);
        drawText(fontArial48, scoreListPos.x, y, kTextColour, formatInt(place) + ". " + formatInt(entry.score));
        drawText(fontArial48, scoreListPos.x + kNameColumn, y, kTextColour, entry.name);
    }
    endSpriteBatch();
    videoEndScene();
    videoPresent();
}

} // namespace

void runHighScoreScreen()
{
    recordScreen("highscore");
    drawTable();
    if (waitForKeyPress(DIK_SPACE))
        sleepMilliseconds(100);
    stopLoopingTune();
}
