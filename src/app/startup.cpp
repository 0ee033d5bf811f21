// Start-up: device, input, sound, assets, map buffer, scores, layout, menu,
// timer. Shutdown: assets, sound, input, device.
#include "app/startup.h"

#include "app/frame_driver.h"
#include "app/window_proc.h"
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/world.h"
#include "input/blocking_wait.h"
#include "input/input.h"
#include "platform/files.h"
#include "platform/recording.h"
#include "render/assets.h"
#include "render/device.h"
#include "scores/name_entry.h"
#include "scores/score_table.h"
#include "screens/screen_state.h"

#include <cstdio>
#include <string>

namespace {

// The score table from the player's file, written into a session being
// recorded; or, playing a recording back, the table it was recorded with,
// kept in memory only: the player's own file is never touched.
bool loadScoreTable()
{
    std::string recorded;
    if (recordedScoreTable(recorded)) {
        readScoresFromText(recorded, scoreTable);
        keepScoresInMemoryOnly();
        return true;
    }
    std::string error;
    if (!loadScores(error)) {
        std::fprintf(stderr, "kestrelon: cannot open %s: %s\n", playerFilePath(kScoreFilePath).c_str(), error.c_str());
        return false;
    }
    recordScoreTable(writeScoresToText(scoreTable));
    return true;
}

} // namespace

bool initGame()
{
    setWindowClosed(false);
    // A placed score is kept even when a library ends the process itself.
    keepOnAbruptExit(keepOwedPlace);
    blockingMessageHandler = windowProc;
    screenModeSwitch = switchScreenMode;
    if (!createDevice())
        return false;
    if (!initInput()) {
        std::fprintf(stderr, "kestrelon: no keyboard\n");
        return false;
    }
    if (!initSound())
        return false;
    if (!loadAssets())
        return false;
    if (!createMapBuffer()) {
        std::fprintf(stderr, "kestrelon: cannot create the map buffer\n");
        return false;
    }
    if (!loadScoreTable())
        return false;
    initLayout();
    menuActive = true;
    initTimer(50.0f);
    return true;
}

void shutdownGame()
{
    releaseAssets();
    shutdownSound();
    shutdownInput();
    releaseDevice();
}
