// Frame timing, the shared steps and the global keys of the frame driver.
#include "app/frame_driver.h"
#include "app/window_proc.h"
#include "game/frame_time.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "platform/script.h"
#include "screens/screen_state.h"
#include "support/started_game.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using GameTest = StartedGameTest;

void useScript(const std::string& text)
{
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(parseReplayScript(text, steps, error)) << error;
    loadInputScript(std::move(steps));
}

} // namespace

TEST_F(GameTest, FrameScaleMeasuresTimeInFiftiethsOfASecond)
{
    quitRequested = true;   // timing only: nothing after it runs
    struct Case { int64_t elapsedMicroseconds; float scale; };
    for (Case c : {Case{20000, 1.0f}, Case{10000, 0.5f}, Case{40000, 2.0f}, Case{0, 1.0f}, Case{1000000, 50.0f}}) {
        initTimer(50.0f);
        lastCounter = readPerformanceCounter() - c.elapsedMicroseconds;
        FrameDriver();
        EXPECT_FLOAT_EQ(frameScale, c.scale) << c.elapsedMicroseconds;
        EXPECT_EQ(lastCounter, readPerformanceCounter());
    }
}

TEST_F(GameTest, StartUpOpensOnTheMenuAndTheMenuFlagWinsTheDispatch)
{
    EXPECT_TRUE(menuActive);
    difficultyMenuActive = true;
    FrameDriver();
    EXPECT_EQ(lastFrameMode, FrameMode::Menu);
    menuActive = false;
    FrameDriver();
    EXPECT_EQ(lastFrameMode, FrameMode::Difficulty);
    difficultyMenuActive = false;
    quitRequested = true;
    FrameDriver();
    EXPECT_EQ(lastFrameMode, FrameMode::Idle);
}

TEST_F(GameTest, EscapeInPlayReturnsToTheMenuOnceAndDoesNotRepeatWhenHeld)
{
    menuActive = false;
    useScript("ESCAPE\nESCAPE\n");
    FrameDriver();
    EXPECT_TRUE(menuActive);
    menuActive = false;
    FrameDriver();   // still held: no new press
    EXPECT_FALSE(menuActive);
}

TEST_F(GameTest, WindowMessagesDecideWhetherFramesRun)
{
    beginCallLog();
    windowProc({MessageType::SizeMinimized, 0});
    EXPECT_FALSE(appActive);
    windowProc({MessageType::SizeRestored, 0});
    EXPECT_TRUE(appActive);
    windowProc({MessageType::KillFocus, 0});
    EXPECT_FALSE(appActive);
    windowProc({MessageType::SetFocus, 0});
    EXPECT_TRUE(appActive);
    Message posted;
    ASSERT_TRUE(peekMessage(posted));
    EXPECT_EQ(posted.type, MessageType::ActivateApp);
    EXPECT_EQ(posted.param, 1);
    windowProc({MessageType::ActivateApp, 0});
    EXPECT_FALSE(appActive);
    windowProc(posted);
    EXPECT_TRUE(appActive);
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{100, 100}));
    windowProc({MessageType::Close, 0});
    EXPECT_FALSE(appActive);
    ASSERT_TRUE(peekMessage(posted));
    EXPECT_EQ(posted.type, MessageType::Quit);
    EXPECT_EQ(posted.param, 0);
}
