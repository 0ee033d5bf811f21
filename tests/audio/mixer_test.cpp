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

namespace {

// SDL's sound alone, on the output driver named, opened with five channels
// at the game's own set-up (44.1 kHz, 16 bits, stereo).
void startSdlSound(const char* driver)
{
    setenv("SDL_AUDIODRIVER", driver, 1);
    PlatformConfig config;
    config.video = VideoBackend::None;
    config.input = InputBackend::Script;
    config.audio = AudioBackend::Sdl;
    ASSERT_TRUE(platformStart(config));
    ASSERT_EQ(soundSystemCreate(), SoundOk);
    ASSERT_EQ(soundInit(5), SoundOk);
}

} // namespace

TEST(Mixer, FiveChannelsASixthSoundTakesTheOldestAndFinishedChannelsStop)
{
    startSdlSound("dummy");
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

// The tunes are streamed from their files: looping one must sound like the
// file played twice over, with nothing lost or added at the loop point. SDL's
// disk output writes what the mixer plays to a file, as fast as it can.
TEST(Mixer, AStreamedTuneLoopsSampleForSample)
{
    std::string dir = makeGameDir();
    const std::string capture = dir + "/played.raw";
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    startSdlSound("disk");   // the tunes' own format: what is played is their samples
    PlatformSound* tune = nullptr;
    ASSERT_EQ(soundCreate(dataFile("sound/_gameover.wav").c_str(), &tune), SoundOk);
    SoundChannel channel;
    ASSERT_EQ(soundPlay(tune, false, &channel), SoundOk);
    ASSERT_EQ(channelSetLoopCount(channel, -1), SoundOk);

    // The samples of the file, and enough of what was played to hold them
    // twice wherever the tune began.
    const std::string wav = readFile(dataFile("sound/_gameover.wav"));
    const size_t data = wav.find("data") + 8;
    const std::string samples = wav.substr(data);
    for (int wait = 0; wait < 600; ++wait) {
        if (readFile(capture).size() > 3 * samples.size())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    channelStop(channel);
    soundRelease(tune);
    soundSystemRelease();
    platformStop();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");

    const std::string played = readFile(capture);
    ASSERT_GT(played.size(), 3 * samples.size()) << "the disk output stopped short";
    // Where the whole tune begins in what was played. Setting the loop count
    // starts the tune again from its beginning, so on a slow machine the
    // output may first hold a moment of the play before that: the tune
    // must then begin whole within its own length.
    const std::string head = samples.substr(0, 4096);
    size_t start = played.find(head);
    ASSERT_NE(start, std::string::npos) << "the tune was not played as it is in its file";
    while (start < samples.size() && played.compare(start, samples.size(), samples) != 0)
        start = played.find(head, start + 1);
    ASSERT_LT(start, samples.size()) << "the first time through differs";
    EXPECT_EQ(played.compare(start + samples.size(), samples.size(), samples), 0)
        << "the second time through does not follow the first sample for sample";
    removeTree(dir);
}
