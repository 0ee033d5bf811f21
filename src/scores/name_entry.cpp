// The name prompt, the letters, and the entry into the table.
#include "scores/name_entry.h"

#include "game/screen_frame.h"
#include "game/world.h"
#include "input/blocking_wait.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "scores/score_table.h"

#include <cstring>
#include <string>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// DirectInput codes of A to Z: by physical key position, whatever the layout.
const int kLetterCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                              0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

constexpr int kNameLineOffset = 60;

// The prompt, and from the first letter on the name line under it.
void drawNameFrame(const std::string* nameLine)
{
    beginScreenFrame(Backdrop::StarMap, WhenLost::Draw);
    drawText(fontArial48, scoreListPos.x, scoreListPos.y, kTextColour, "Enter your name:");
    if (nameLine)
        drawText(fontArial48, scoreListPos.x, scoreListPos.y + kNameLineOffset, kTextColour, *nameLine);
    drawLogo(logoPos.x, logoPos.y, 0.6f);
    endScreenFrame();
}

// The letter whose key went down in this poll (the first in the alphabet
// when several did), or 0.
char pressedLetter()
{
    for (int i = 0; i < 26; ++i)
        if (keyPressed(kLetterCodes[i]))
            return kAlphabet[i];
    return 0;
}

bool placeOwed = false;

void enterPendingEntry()
{
    placeOwed = false;
    insertPendingEntry();
    saveScores();
}

} // namespace

void owePlace()
{
    pendingEntry.rank = 11;
    std::memset(pendingEntry.name, 0, sizeof pendingEntry.name);
    pendingEntry.score = score;
    placeOwed = true;
}

void keepOwedPlace()
{
    if (placeOwed)
        enterPendingEntry();
}

void enterScore(const char* name)
{
    owePlace();
    copyScoreName(pendingEntry.name, name);
    enterPendingEntry();
}

void runNameEntry()
{
    if (!scoreQualifies(score))
        return;
    logScreen("nameentry");
    pollInput();
    owePlace();
    drawNameFrame(nullptr);
    for (int position = 0; position < kMaxNameLength; ++position) {
        char letter = 0;
        bool confirmed = false;
        for (;;) {
            pollInput();
            confirmed = keyPressed(DIK_RETURN);
            letter = confirmed ? 0 : pressedLetter();
            if (confirmed || letter)
                break;
            if (!keepWindowAlive()) {
                // Closed while typing: the letters so far are the name.
                confirmed = true;
                break;
            }
            yieldProcessor();
        }
        if (letter)
            pendingEntry.name[position] = letter;
        if (confirmed)
            break;
        std::string nameLine = std::string("Your name: ") + pendingEntry.name;
        drawNameFrame(&nameLine);
        sleepMilliseconds(100);
    }
    enterPendingEntry();
}
