// The sound layer on SDL2_mixer itself, with SDL's dummy audio output (which
// plays in real time without a sound card): five channels, a sixth sound
// taking the oldest one, and a finished channel reading "not playing".
#include "audio/sound.h"
#include "platform/platform.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

TEST(Mixer, FiveChannelsASixthSoundTakesTheOldestAndFinishedChannelsStop)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PlatformConfig config;
    config.video = VideoBackend::None;
    config.input = InputBackend::Script;
    config.audio = AudioBackend::Sdl;
    ASSERT_TRUE(platformStart(config));
    ASSERT_EQ(soundSystemCreate(), SoundOk);
    ASSERT_EQ(soundInit(5), SoundOk);
    PlatformSound* shot = nullptr;
    PlatformSound* tune = nullptr;
    ASSERT_EQ(soundCreate(dataFile("sound/_shoot.wav").c_str(), &shot), SoundOk);
    ASSERT_EQ(soundCreate(dataFile("sound/_menubgnd.wav").c_str(), &tune), SoundOk);

    SoundChannel music;
    ASSERT_EQ(soundPlay(tune, false, &music), SoundOk);
    channelSetLooping(music, true);
    SoundChannel shots[5];
    for (SoundChannel& channel : shots)
        ASSERT_EQ(soundPlay(shot, false, &channel), SoundOk);
    // Six sounds on five channels: the music, started first, lost its channel.
    bool playing = true;
    EXPECT_EQ(channelIsPlaying(music, &playing), SoundErrInvalidHandle);
    EXPECT_FALSE(playing);
    EXPECT_EQ(shots[4].index, music.index);
    channelIsPlaying(shots[4], &playing);
    EXPECT_TRUE(playing);

    std::this_thread::sleep_for(std::chrono::milliseconds(soundLengthMs(shot) + 400));
    for (const SoundChannel& channel : shots) {
        channelIsPlaying(channel, &playing);
        EXPECT_FALSE(playing);
    }

    // A looping tune keeps playing past a short wait and stops when told.
    SoundChannel again;
    ASSERT_EQ(soundPlay(tune, false, &again), SoundOk);
    channelSetLoopCount(again, -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    channelIsPlaying(again, &playing);
    EXPECT_TRUE(playing);
    channelStop(again);
    channelIsPlaying(again, &playing);
    EXPECT_FALSE(playing);

    soundRelease(shot);
    soundRelease(tune);
    soundSystemRelease();
    platformStop();
    unsetenv("SDL_AUDIODRIVER");
}
