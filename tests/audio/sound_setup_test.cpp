// The sound set-up's branches on pretend machines, and the playback patterns
// on the headless backend, where sounds play for their own length in virtual
// time.
#include "audio/sound.h"
#include "platform/clock.h"
#include "platform/recorder.h"
#include "platform/test_hooks.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

struct SoundTest : testing::Test {
    ScopedPlatform platform;
    void TearDown() override
    {
        shutdownSound();
        configureHeadlessAudio(HeadlessAudioMachine{});
    }
};

PlatformSound* load(const char* name)
{
    PlatformSound* sound = nullptr;
    EXPECT_TRUE(loadSound(dataFile(name).c_str(), &sound));
    return sound;
}

} // namespace

TEST_F(SoundTest, SetUpFollowsTheMachine)
{
    struct Case {
        const char* what;
        HeadlessAudioMachine machine;
        bool noSound;
        int sampleRate;
        SampleFormat format;
        unsigned dspLength;
        int speakerChannels;
        int initCalls;
    };
    HeadlessAudioMachine none;
    none.driverCount = 0;
    HeadlessAudioMachine sigmatel;
    sigmatel.driverName = "Realtek and SigmaTel HD Audio";
    HeadlessAudioMachine wrongCase;
    wrongCase.driverName = "Sigmatel HD Audio";
    HeadlessAudioMachine emulated;
    emulated.caps = kSoundCapsHardwareEmulated;
    HeadlessAudioMachine surround;
    surround.speakerChannels = 6;
    surround.rejectSpeakerModeAbove2 = true;
    HeadlessAudioMachine broken;
    broken.failInit = true;
    const Case cases[] = {
        {"an ordinary device", HeadlessAudioMachine{}, false, 44100, SampleFormat::Pcm16, 0, 2, 1},
        {"no device: silent", none, true, 44100, SampleFormat::Pcm16, 0, 2, 1},
        {"SigmaTel: 48 kHz float", sigmatel, false, 48000, SampleFormat::PcmFloat, 0, 2, 1},
        {"Sigmatel is another chip", wrongCase, false, 44100, SampleFormat::Pcm16, 0, 2, 1},
        {"emulated hardware: big buffer", emulated, false, 44100, SampleFormat::Pcm16, 1024, 2, 1},
        {"speaker mode refused: stereo", surround, false, 44100, SampleFormat::Pcm16, 0, 2, 2},
        {"output will not open: silent", broken, true, 44100, SampleFormat::Pcm16, 0, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        configureHeadlessAudio(c.machine);
        ASSERT_TRUE(initSound());
        const SoundSetup& setup = soundSetup();
        EXPECT_EQ(setup.noSound, c.noSound);
        EXPECT_EQ(setup.sampleRate, c.sampleRate);
        EXPECT_EQ(setup.format, c.format);
        EXPECT_EQ(setup.dspBufferLength, c.dspLength);
        EXPECT_EQ(setup.speakerChannels, c.speakerChannels);
        EXPECT_EQ(setup.initCalls, c.initCalls);
        EXPECT_EQ(setup.channels, 5);
        shutdownSound();
    }
}

TEST_F(SoundTest, TooOldALibraryStopsStartUp)
{
    HeadlessAudioMachine old;
    old.version = kRequiredSoundVersion - 1;
    configureHeadlessAudio(old);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(initSound());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error, you are using an old version of FMOD!"),
              std::string::npos);
}

TEST_F(SoundTest, MissingOrBrokenFilesFailWithTheirName)
{
    ASSERT_TRUE(initSound());
    PlatformSound* sound = nullptr;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadSound("data/sound/_nothing.wav", &sound));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("data/sound/_nothing.wav"), std::string::npos);
    std::string dir = makeGameDir();
    writeFile(dir + "/broken.wav", "RIFF....WAVEfmt nonsense");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadSound((dir + "/broken.wav").c_str(), &sound));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("broken.wav"), std::string::npos);
    EXPECT_EQ(sound, nullptr);
    removeTree(dir);
}

TEST_F(SoundTest, LoopingTuneStartsOnceAndAgainAfterStop)
{
    ASSERT_TRUE(initSound());
    PlatformSound* tune = load("sound/_menubgnd.wav");
    recorderBeginCall();
    for (int frame = 0; frame < 10; ++frame) {
        startLoopingTune(tune);
        sleepMilliseconds(50);
    }
    EXPECT_EQ(callRecord.sounds.size(), 1u);
    // A looping tune plays past its own length.
    sleepMilliseconds(soundLengthMs(tune) + 1000);
    EXPECT_TRUE(musicPlaying());
    stopLoopingTune();
    EXPECT_FALSE(musicPlaying());
    startLoopingTune(tune);
    EXPECT_EQ(callRecord.sounds.size(), 2u);
    EXPECT_TRUE(musicPlaying());
    soundRelease(tune);
}

TEST_F(SoundTest, OneShotEndsAfterItsLengthAndASixthSoundTakesTheOldestChannel)
{
    ASSERT_TRUE(initSound());
    PlatformSound* shot = load("sound/_shoot.wav");
    SoundChannel channels[6];
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(soundPlay(shot, false, &channels[i]), SoundOk);
        sleepMilliseconds(1);
    }
    for (int i = 0; i < 5; ++i) {
        bool playing = false;
        channelIsPlaying(channels[i], &playing);
        EXPECT_TRUE(playing) << i;
    }
    ASSERT_EQ(soundPlay(shot, false, &channels[5]), SoundOk);
    bool playing = true;
    EXPECT_EQ(channelIsPlaying(channels[0], &playing), SoundErrInvalidHandle);
    EXPECT_FALSE(playing);
    EXPECT_EQ(channels[5].index, channels[0].index);
    channelIsPlaying(channels[1], &playing);
    EXPECT_TRUE(playing);
    sleepMilliseconds(soundLengthMs(shot));
    for (int i = 1; i < 6; ++i) {
        channelIsPlaying(channels[i], &playing);
        EXPECT_FALSE(playing) << i;
    }
    SoundChannel none;
    EXPECT_EQ(channelIsPlaying(none, &playing), SoundErrInvalidHandle);
    EXPECT_FALSE(playing);
    soundRelease(shot);
}

TEST_F(SoundTest, ScoreSoundFadesWithDistance)
{
    ASSERT_TRUE(initSound());
    scoreSound = load("sound/_score.wav");
    struct Case { float dx, dy, volume; };
    for (Case c : {Case{0, 0, 1.0f}, Case{640, 0, 0.5f}, Case{0, -640, 0.5f}, Case{1024, 768, 0.0f},
                   Case{384, 512, 0.5f}}) {
        recorderBeginCall();
        playScoreSound(c.dx, c.dy);
        ASSERT_EQ(callRecord.soundVolumes.size(), 1u);
        EXPECT_FLOAT_EQ(callRecord.soundVolumes[0], c.volume) << c.dx << "," << c.dy;
    }
    soundRelease(scoreSound);
    scoreSound = nullptr;
}
