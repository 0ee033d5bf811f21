// Polling, held and pressed keys, lost keyboards and the pad, through the
// scripted backend.
#include "input/input.h"
#include "platform/script.h"
#include "platform/window.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

void useScript(const std::string& text)
{
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(parseReplayScript(text, steps, error)) << error;
    loadInputScript(std::move(steps));
}

struct InputTest : testing::Test {
    ScopedPlatform platform;
    void SetUp() override
    {
        ASSERT_TRUE(initInput());
        pollInput();   // start from all keys up
        pollInput();
    }
    void TearDown() override { shutdownInput(); }
};

} // namespace

TEST_F(InputTest, HeldKeyCountsAsPressedInItsFirstPollOnly)
{
    useScript("3* SPACE\n.\nSPACE\nSPACE UP\n");
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_SPACE));
    EXPECT_TRUE(keyState[DIK_SPACE] & 0x80);
    pollInput();
    EXPECT_FALSE(keyPressed(DIK_SPACE));
    EXPECT_TRUE(keyState[DIK_SPACE] & 0x80);
    pollInput();
    EXPECT_FALSE(keyPressed(DIK_SPACE));
    pollInput();   // released
    EXPECT_FALSE(keyPressed(DIK_SPACE));
    EXPECT_EQ(keyState[DIK_SPACE], 0);
    pollInput();   // pressed again
    EXPECT_TRUE(keyPressed(DIK_SPACE));
    pollInput();
    EXPECT_FALSE(keyPressed(DIK_SPACE));
    EXPECT_TRUE(keyPressed(DIK_UP));
    EXPECT_FALSE(keyPressed(DIK_DOWN));
    EXPECT_FALSE(keyPressed(-1));
    EXPECT_FALSE(keyPressed(256));
}

TEST_F(InputTest, LostKeyboardReadsAllUpUntilReacquired)
{
    useScript("RETURN\n@FOCUS-LOST RETURN\nRETURN\n@FOCUS-GAINED RETURN\nRETURN\nRETURN\n");
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_RETURN));
    pollInput();   // focus gone: nothing down
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    pollInput();   // still lost: polling never re-acquires
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    pollInput();   // focus back, but not yet re-acquired
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    EXPECT_TRUE(reacquireInput());
    EXPECT_TRUE(keyState[DIK_RETURN] & 0x80);   // re-acquiring reads the keyboard
    pollInput();
    EXPECT_FALSE(keyPressed(DIK_RETURN));       // and so the held key is not a fresh press
    EXPECT_TRUE(keyState[DIK_RETURN] & 0x80);
}

TEST_F(InputTest, FirstReadAfterAFailedOneReportsEveryHeldKeyAsPressed)
{
    useScript("LEFT\n@FOCUS-LOST LEFT\n@FOCUS-GAINED LEFT\nLEFT\n");
    pollInput();
    pollInput();
    pollInput();
    keyboardAcquire();
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_LEFT));
}

TEST_F(InputTest, PadIsZeroWithoutAControllerAndReadsTheStick)
{
    useScript(".\nPAD=-2000,2001\n");
    pollInput();
    EXPECT_EQ(padState.thumbLX, 0);
    EXPECT_EQ(padState.thumbLY, 0);
    pollInput();
    EXPECT_EQ(padState.thumbLX, -2000);
    EXPECT_EQ(padState.thumbLY, 2001);
    pollInput();   // script used up: no controller, every key up
    EXPECT_EQ(padState.thumbLX, 0);
    EXPECT_TRUE(inputScriptExhausted());
}

namespace {
int switches = 0;
void countSwitch()
{
    ++switches;
    reacquireInput();   // as the real switch does: the keyboard read again
}
struct AltEnterTest : InputTest {
    void SetUp() override
    {
        InputTest::SetUp();
        switches = 0;
        screenModeSwitch = countSwitch;
    }
    void TearDown() override
    {
        screenModeSwitch = nullptr;
        InputTest::TearDown();
    }
};
} // namespace

// Alt+Enter switches once per press, on either Alt and either Enter, and its
// Enter is never an Enter to the screens: not when it goes down, not while it
// is held (even once Alt is let go), only a new press after it is let go.
TEST_F(AltEnterTest, SwitchesOncePerPressAndItsEnterNeverReachesTheScreens)
{
    useScript("LMENU\nLMENU RETURN\nLMENU RETURN\nRETURN\n.\nRETURN\nRMENU NUMPADENTER\nNUMPADENTER\n.\n");
    pollInput();   // Alt alone
    EXPECT_EQ(switches, 0);
    pollInput();   // Alt+Enter
    EXPECT_EQ(switches, 1);
    EXPECT_FALSE(keyPressed(DIK_RETURN));
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    pollInput();   // still held
    EXPECT_EQ(switches, 1);
    pollInput();   // Alt let go, Enter still held: still no Enter
    EXPECT_FALSE(keyPressed(DIK_RETURN));
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    pollInput();   // let go
    pollInput();   // a new Enter is an Enter
    EXPECT_TRUE(keyPressed(DIK_RETURN));
    EXPECT_EQ(switches, 1);
    pollInput();   // the other Alt with the keypad's Enter
    EXPECT_EQ(switches, 2);
    EXPECT_EQ(keyState[DIK_NUMPADENTER], 0);
    pollInput();
    EXPECT_EQ(keyState[DIK_NUMPADENTER], 0);
    EXPECT_EQ(switches, 2);
}

TEST_F(AltEnterTest, EnterHeldBeforeAltIsAnEnterAndNoSwitch)
{
    useScript("RETURN\nRETURN LMENU\n.\n");
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_RETURN));
    pollInput();
    EXPECT_EQ(switches, 0);
    EXPECT_TRUE(keyState[DIK_RETURN] & 0x80);
}
