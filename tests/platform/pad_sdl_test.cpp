// The controller on SDL: plugged in while the game runs, read in XInput's
// convention (y up positive), pulled out (all zero) and plugged in again.
#include "input/input.h"
#include "platform/platform.h"
#include "support/test_hooks.h"
#include "platform/window.h"

#include <gtest/gtest.h>

TEST(SdlPad, PluggedMovedUnpluggedAndPluggedAgain)
{
    PlatformConfig config;
    config.video = VideoBackend::Offscreen;
    config.input = InputBackend::Sdl;
    config.audio = AudioBackend::Headless;
    ASSERT_TRUE(platformStart(config));
    ASSERT_TRUE(windowCreate("Kestrelon v0.3", 1024, 768));
    ASSERT_TRUE(initInput());
    pollInput();
    EXPECT_EQ(padState.thumbLX, 0);

    ASSERT_TRUE(plugVirtualPadForTest());
    moveVirtualPadForTest(-3000, 2500);   // SDL: right and down are positive
    pollInput();
    EXPECT_EQ(padState.thumbLX, -3000);
    EXPECT_EQ(padState.thumbLY, -2500);   // XInput: up is positive
    moveVirtualPadForTest(32767, -32768);
    pollInput();
    EXPECT_EQ(padState.thumbLX, 32767);
    EXPECT_EQ(padState.thumbLY, 32767);

    unplugVirtualPadForTest();
    pollInput();
    EXPECT_EQ(padState.thumbLX, 0);
    EXPECT_EQ(padState.thumbLY, 0);

    ASSERT_TRUE(plugVirtualPadForTest());
    moveVirtualPadForTest(4000, 0);
    pollInput();
    EXPECT_EQ(padState.thumbLX, 4000);
    unplugVirtualPadForTest();

    shutdownInput();
    platformStop();
}
