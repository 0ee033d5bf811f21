// The lost-device recovery and the screen-mode switch, on the scripted
// device: frames stop while it is lost, it is reset when it can be, and what
// the reset destroyed is made again exactly once.
#include "app/window_proc.h"
#include "platform/video_service.h"
#include "platform/call_log.h"
#include "render/assets.h"
#include "render/device.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

// The device's resets as the test sees them: the next `failingResets` fail,
// and those done are counted.
int failingResets = 0;
int resetsDone = 0;

VideoService countedResets()
{
    VideoService video = kNoVideo;
    video.resetDevice = [](bool windowed, bool texturesLost) {
        if (failingResets > 0) {
            --failingResets;
            return false;
        }
        ++resetsDone;
        return kNoVideo.resetDevice(windowed, texturesLost);
    };
    return video;
}

struct RecoveryTest : testing::Test {
    std::string dir = makeGameDir();
    ScopedCwd cwd{dir};
    ScopedPlatform platform{false};
    VideoService video = countedResets();
    void SetUp() override
    {
        failingResets = resetsDone = 0;
        useVideo(video);
        ASSERT_TRUE(startGameForTest());
    }
    void TearDown() override { stopGameForTest(); }
    ~RecoveryTest() override { removeTree(dir); }
};

} // namespace

TEST_F(RecoveryTest, WaitsWhileLostThenResetsAndRemakesTheSurfaces)
{
    simulateDeviceLoss(3);
    appActive = false;
    beginCallLog();
    windowProc({MessageType::ActivateApp, 1});
    // The activation's own test and two passes find it lost, one "not reset"
    // pass resets it (after a further pause), one more sees it fine.
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{100, 100, 100, 100, 100}));
    EXPECT_EQ(resetsDone, 1);
    EXPECT_TRUE(appActive);
    EXPECT_NE(mapBuffer, nullptr);
    EXPECT_NE(spacemapSurface, nullptr);
    EXPECT_NE(backBuffer, nullptr);
    EXPECT_TRUE(spriteBatcherMade);
    Message message;
    EXPECT_FALSE(peekMessage(message));
}

TEST_F(RecoveryTest, FailedResetsAreRetriedWithoutReleasingAnythingTwice)
{
    simulateDeviceLoss(0);
    failingResets = 2;
    appActive = false;
    beginCallLog();
    windowProc({MessageType::ActivateApp, 1});
    EXPECT_EQ(resetsDone, 1);
    EXPECT_TRUE(appActive);
    EXPECT_NE(mapBuffer, nullptr);
    EXPECT_NE(spacemapSurface, nullptr);
    // Three "not reset" passes (two failing), then the pass that sees success.
    EXPECT_EQ(callLog.sleeps.size(), 7u);
}

TEST_F(RecoveryTest, InternalDriverErrorPostsQuitWithEighteenAndStopsWaiting)
{
    simulateDriverError();
    appActive = false;
    windowProc({MessageType::ActivateApp, 1});
    Message message;
    ASSERT_TRUE(peekMessage(message));
    EXPECT_EQ(message.type, MessageType::Quit);
    EXPECT_EQ(message.param, 18);
    EXPECT_FALSE(appActive);
}

TEST_F(RecoveryTest, ScreenModeSwitchesBackAndForthAndRemakesSurfaces)
{
    EXPECT_FALSE(fullScreen);
    switchScreenMode();
    EXPECT_TRUE(fullScreen);
    EXPECT_NE(mapBuffer, nullptr);
    EXPECT_NE(spacemapSurface, nullptr);
    switchScreenMode();
    EXPECT_FALSE(fullScreen);
    EXPECT_EQ(resetsDone, 2);
    EXPECT_TRUE(spriteBatcherMade);
}
