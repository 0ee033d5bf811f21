// The SDL keyboard: the DirectInput code of every key the game reads, taps
// between polls, and focus loss, with events injected as the window system
// would deliver them.
#include "input/input.h"
#include "platform/keys.h"
#include "platform/platform.h"
#include "support/test_hooks.h"
#include "platform/window.h"

#include <gtest/gtest.h>

namespace {

// USB HID usage numbers, which SDL's scancodes are.
constexpr int kScancodeA = 4;
constexpr int kScancodeReturn = 40;
constexpr int kScancodeEscape = 41;
constexpr int kScancodeSpace = 44;
constexpr int kScancodeF12 = 69;
constexpr int kScancodeRight = 79;
constexpr int kScancodeLeft = 80;
constexpr int kScancodeDown = 81;
constexpr int kScancodeUp = 82;
constexpr int kScancodeKeypadEnter = 88;

struct SdlKeyboardTest : testing::Test {
    void SetUp() override
    {
        PlatformConfig config;
        config.video = VideoBackend::Offscreen;
        config.input = InputBackend::Sdl;
        config.audio = AudioBackend::Headless;
        ASSERT_TRUE(platformStart(config));
        ASSERT_TRUE(windowCreate("Kestrelon v0.3", 1024, 768));
        ASSERT_TRUE(initInput());
        injectFocusEventForTest(true);
        pollInput();
        ASSERT_TRUE(reacquireInput());
        pollInput();
    }
    void TearDown() override
    {
        shutdownInput();
        platformStop();
    }
};

} // namespace

TEST(KeyTable, EveryKeyTheGameReadsHasItsDirectInputCode)
{
    EXPECT_EQ(keyCodeForScancode(kScancodeEscape), DIK_ESCAPE);
    EXPECT_EQ(keyCodeForScancode(kScancodeReturn), DIK_RETURN);
    EXPECT_EQ(keyCodeForScancode(kScancodeSpace), DIK_SPACE);
    EXPECT_EQ(keyCodeForScancode(kScancodeF12), DIK_F12);
    EXPECT_EQ(keyCodeForScancode(kScancodeUp), DIK_UP);
    EXPECT_EQ(keyCodeForScancode(kScancodeDown), DIK_DOWN);
    EXPECT_EQ(keyCodeForScancode(kScancodeLeft), DIK_LEFT);
    EXPECT_EQ(keyCodeForScancode(kScancodeRight), DIK_RIGHT);
    EXPECT_EQ(keyCodeForScancode(kScancodeKeypadEnter), 0x9C);   // not the main Enter
    // A to Z by physical position, as DirectInput numbers them.
    const int letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                             49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(keyCodeForScancode(kScancodeA + i), letters[i]) << static_cast<char>('A' + i);
        char name[2] = {static_cast<char>('A' + i), 0};
        EXPECT_EQ(keyCodeForName(name, 1), letters[i]);
    }
    // Every DirectInput code appears once.
    int seen[256] = {};
    for (int scancode = 0; scancode < 512; ++scancode)
        if (int code = keyCodeForScancode(scancode)) {
            EXPECT_EQ(++seen[code], 1) << code;
        }
}

TEST_F(SdlKeyboardTest, TapBetweenTwoPollsStillReadsAsDownOnce)
{
    injectKeyEventForTest(kScancodeSpace, true);
    injectKeyEventForTest(kScancodeSpace, false);
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_SPACE));
    pollInput();
    EXPECT_EQ(keyState[DIK_SPACE], 0);

    injectKeyEventForTest(kScancodeLeft, true);
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_LEFT));
    pollInput();
    EXPECT_TRUE(keyState[DIK_LEFT] & 0x80);
    EXPECT_FALSE(keyPressed(DIK_LEFT));
    injectKeyEventForTest(kScancodeLeft, false);
    pollInput();
    EXPECT_EQ(keyState[DIK_LEFT], 0);
}

TEST_F(SdlKeyboardTest, FocusLossLeavesEveryKeyUpUntilReacquired)
{
    injectKeyEventForTest(kScancodeUp, true);
    pollInput();
    EXPECT_TRUE(keyState[DIK_UP] & 0x80);
    injectFocusEventForTest(false);
    pollInput();
    EXPECT_EQ(keyState[DIK_UP], 0);
    injectFocusEventForTest(true);
    injectKeyEventForTest(kScancodeDown, true);
    pollInput();
    EXPECT_EQ(keyState[DIK_DOWN], 0);   // not re-acquired yet
    reacquireInput();
    injectKeyEventForTest(kScancodeReturn, true);
    pollInput();
    EXPECT_TRUE(keyPressed(DIK_RETURN));
}
