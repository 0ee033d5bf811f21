// The fixture of the tests that run the game itself: started on the headless
// platform in a folder of its own, the flow's flags put back afterwards.
#pragma once
#include "screens/screen_state.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <string>

struct StartedGameTest : testing::Test {
    std::string dir = makeGameDir();
    ScopedCwd cwd{dir};
    ScopedPlatform platform{false};
    void SetUp() override { ASSERT_TRUE(startGameForTest()); }
    void TearDown() override
    {
        stopGameForTest();
        resetScreenState();
    }
    ~StartedGameTest() override { removeTree(dir); }
};
