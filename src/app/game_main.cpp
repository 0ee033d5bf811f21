// The entry point's work and the message loop.
#include "app/game_main.h"

#include "app/frame_driver.h"
#include "app/startup.h"
#include "app/state_hash.h"
#include "app/window_proc.h"
#include "game/frame_time.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/recording.h"
#include "platform/window.h"
#include "render/device.h"

namespace {

const char* const kTitle = "Kestrelon v0.3";

// One message at most per pass; frames only while the game is active. The
// loop ends once the quit message has been taken.
int runMessageLoop(const GameRun& run)
{
    Message message{MessageType::Close, 0};
    bool wasActive = appActive;
    bool modeKnown = fullScreen;
    int64_t frames = 0;
    for (;;) {
        advanceClockForPass();
        bool taken = peekMessage(message);
        if (taken && message.type != MessageType::Quit)
            windowProc(message);
        if (appActive) {
            // Coming back from minimised or unfocused: the time away is no
            // frame's business.
            if (!wasActive)
                rebaseTimer();
            FrameDriver();
            ++frames;
            if (stateCheckDue(static_cast<uint64_t>(frames)))
                checkState(static_cast<uint64_t>(frames), gameStateHash());
            if (run.afterFrame)
                run.afterFrame();
        } else {
            inputIdlePass();
        }
        wasActive = appActive;
        if (fullScreen != modeKnown) {
            modeKnown = fullScreen;
            if (run.screenModeChosen)
                run.screenModeChosen(fullScreen);
        }
        if (taken && message.type == MessageType::Quit)
            return static_cast<int>(message.param);
        if (run.maxFrames >= 0 && frames >= run.maxFrames)
            return 0;
    }
}

} // namespace

int runKestrelon(const GameRun& run)
{
    Message first;
    peekMessage(first);
    if (run.singleInstance && !acquireSingleInstanceGuard("Kestrelon")) {
        showMessageBox("Error", "Application already running!", BoxIcon::Warning, 0);
        return 0;
    }
    if (!windowCreate(kTitle, 1024, 768))
        return kStartupFailedExitCode;
    windowShow();
    windowHideCursor();
    if (!initGame())
        return kStartupFailedExitCode;
    appActive = true;
    if (run.afterStartup)
        run.afterStartup();
    int exitCode = runMessageLoop(run);
    shutdownGame();
    windowDestroy();
    return exitCode;
}
