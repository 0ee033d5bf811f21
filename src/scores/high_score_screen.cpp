// The high-score screen: one frame, then a wait for Space.
#include "scores/high_score_screen.h"

#include "audio/sound.h"
#include "game/screen_frame.h"
#include "game/world.h"
#include "input/blocking_wait.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "render/format.h"
#include "scores/score_table.h"

namespace {

constexpr int kRowPitch = 40;
constexpr int kNameColumn = 200;

void drawTable()
{
    beginScreenFrame(Backdrop::StarMap, WhenLost::Draw);
    drawLogo(logoPos.x, logoPos.y, 0.6f);
    for (int place = 1; place <= kScoreTableSize; ++place) {
        const ScoreEntry& entry = scoreTable[place - 1];
        int y = scoreListPos.y + kRowPitch * (place - 1);
        drawText(fontArial48, scoreListPos.x, y, kTextColour, formatInt(place) + ". " + formatInt(entry.score));
        drawText(fontArial48, scoreListPos.x + kNameColumn, y, kTextColour, entry.name);
    }
    endScreenFrame();
}

} // namespace

void runHighScoreScreen()
{
    logScreen("highscore");
    drawTable();
    if (waitForKeyPress(DIK_SPACE))
        sleepMilliseconds(100);
    stopLoopingTune();
}
