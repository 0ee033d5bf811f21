// The sound set-up's branches on pretend machines, and the playback patterns
// on the headless backend, where sounds play for their own length in virtual
// time.
#include "audio/sound.h"
#include "platform/sound_service.h"
#include "platform/call_log.h"
#include "platform/clock.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A pretend machine: the silent output with the drivers, capabilities and
// failures a test sets, noting what the set-up asked it to open.
struct PretendMachine {
    int driverCount = 1;
    std::string driverName = "Virtual output";
    uint32_t caps = 0;
    int speakerChannels = 2;
    bool rejectSpeakerModeAbove2 = false;   // opening fails with SoundErrOutputCreateBuffer
    bool failOpen = false;
    uint32_t version = kSoundLayerVersion;
};

PretendMachine machine;
std::vector<SoundSetup> opened;

SoundService pretendOutput()
{
    SoundService output = kSilentSound;
    output.version = [] { return machine.version; };
    output.driverCount = [] { return machine.driverCount; };
    output.driverCaps = [](int, uint32_t* caps, int* speakerChannels) {
        *caps = machine.caps;
        *speakerChannels = machine.speakerChannels;
    };
    output.driverName = [](int) { return machine.driverName.c_str(); };
    output.open = [](const SoundSetup& setup, int) {
        opened.push_back(setup);
        if (machine.failOpen)
            return SoundErrOutputInit;
        if (machine.rejectSpeakerModeAbove2 && setup.speakerChannels > 2)
            return SoundErrOutputCreateBuffer;
        return SoundOk;
    };
    return output;
}

struct SoundTest : testing::Test {
    ScopedPlatform platform;
    SoundService output = pretendOutput();
    void SetUp() override
    {
        machine = PretendMachine{};
        opened.clear();
        useSound(output);
    }
    void TearDown() override { shutdownSound(); }
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
        PretendMachine machine;
        size_t opens;   // how often the output was asked to open (0: none, a silent game)
        int sampleRate;
        SampleFormat format;
        unsigned dspLength;
        int speakerChannels;   // the last time
    };
    PretendMachine none;
    none.driverCount = 0;
    PretendMachine sigmatel;
    sigmatel.driverName = "Realtek and SigmaTel HD Audio";
    PretendMachine wrongCase;
    wrongCase.driverName = "Sigmatel HD Audio";
    PretendMachine emulated;
    emulated.caps = kSoundCapsHardwareEmulated;
    PretendMachine surround;
    surround.speakerChannels = 6;
    surround.rejectSpeakerModeAbove2 = true;
    PretendMachine broken;
    broken.failOpen = true;
    const Case cases[] = {
        {"an ordinary device", PretendMachine{}, 1, 44100, SampleFormat::Pcm16, 0, 2},
        {"no device: silent", none, 0, 0, SampleFormat::Pcm16, 0, 0},
        {"SigmaTel: 48 kHz float", sigmatel, 1, 48000, SampleFormat::PcmFloat, 0, 2},
        {"Sigmatel is another chip", wrongCase, 1, 44100, SampleFormat::Pcm16, 0, 2},
        {"emulated hardware: big buffer", emulated, 1, 44100, SampleFormat::Pcm16, 1024, 2},
        {"speaker mode refused: stereo", surround, 2, 44100, SampleFormat::Pcm16, 0, 2},
        {"output will not open: silent", broken, 1, 44100, SampleFormat::Pcm16, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        machine = c.machine;
        opened.clear();
        ASSERT_TRUE(initSound());
        ASSERT_EQ(opened.size(), c.opens);
        if (c.opens > 0) {
            const SoundSetup& setup = opened.back();
            EXPECT_EQ(setup.sampleRate, c.sampleRate);
            EXPECT_EQ(setup.format, c.format);
            EXPECT_EQ(setup.dspBufferLength, c.dspLength);
            EXPECT_EQ(setup.speakerChannels, c.speakerChannels);
            EXPECT_EQ(setup.channels, 5);
            if (c.opens == 2) {
                EXPECT_EQ(opened.front().speakerChannels, 6) << "the driver's own mode first";
            }
        }
        shutdownSound();
    }
}

TEST_F(SoundTest, TooOldALibraryStopsStartUp)
{
    machine.version = kRequiredSoundVersion - 1;
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
    beginCallLog();
    for (int frame = 0; frame < 10; ++frame) {
        startLoopingTune(tune);
        sleepMilliseconds(50);
    }
    EXPECT_EQ(callLog.sounds.size(), 1u);
    // A looping tune plays past its own length.
    sleepMilliseconds(soundLengthMs(tune) + 1000);
    EXPECT_TRUE(musicPlaying());
    stopLoopingTune();
    EXPECT_FALSE(musicPlaying());
    startLoopingTune(tune);
    EXPECT_EQ(callLog.sounds.size(), 2u);
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
        beginCallLog();
        playScoreSound(c.dx, c.dy);
        ASSERT_EQ(callLog.soundVolumes.size(), 1u);
        EXPECT_FLOAT_EQ(callLog.soundVolumes[0], c.volume) << c.dx << "," << c.dy;
    }
    soundRelease(scoreSound);
    scoreSound = nullptr;
}
