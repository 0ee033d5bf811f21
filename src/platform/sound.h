// The sound system: a set-up sequence that can fall back to no output,
// sounds loaded whole from WAV files, and five channels. A channel handle
// reads "not playing" once its sound has ended, was stopped, or its channel
// was taken by another sound. Every call returns a result the game keeps.
#pragma once
#include <cstdint>

enum SoundResult : int32_t {
    SoundOk = 0,
    SoundErrFileNotFound,
    SoundErrFormat,
    SoundErrOutputCreateBuffer,   // the speaker mode is not supported by the device
    SoundErrOutputInit,
    SoundErrUninitialized,
    SoundErrInvalidHandle,
    SoundErrInvalidParam,
};

const char* soundErrorString(SoundResult result);

// The version of this sound layer; the game refuses an older one.
constexpr uint32_t kSoundLayerVersion = 0x00044413;
constexpr uint32_t kSoundCapsHardwareEmulated = 0x1;   // a sound server stands between us and the hardware

enum class SoundOutput { Default, NoSound };
enum class SampleFormat { Pcm16, PcmFloat };

struct PlatformSound;

struct SoundChannel {
    int index = -1;
    uint32_t generation = 0;
};

SoundResult soundSystemCreate();
SoundResult soundGetVersion(uint32_t* version);
SoundResult soundGetNumDrivers(int* count);
SoundResult soundGetDriverCaps(int driver, uint32_t* caps, int* speakerChannels);
SoundResult soundSetSpeakerMode(int speakerChannels);
SoundResult soundSetDspBufferSize(unsigned length, int count);
SoundResult soundGetDriverInfo(int driver, char* name, int nameLength);
SoundResult soundSetSoftwareFormat(int sampleRate, SampleFormat format);
SoundResult soundSetOutput(SoundOutput output);
SoundResult soundInit(int channels);
SoundResult soundUpdate();
SoundResult soundSystemRelease();

SoundResult soundCreate(const char* path, PlatformSound** sound);
SoundResult soundSetLoopOff(PlatformSound* sound);
SoundResult soundRelease(PlatformSound* sound);
SoundResult soundPlay(PlatformSound* sound, bool paused, SoundChannel* channel);

SoundResult channelIsPlaying(SoundChannel channel, bool* playing);
SoundResult channelStop(SoundChannel channel);
SoundResult channelSetLooping(SoundChannel channel, bool looping);
SoundResult channelSetVolume(SoundChannel channel, float volume);
SoundResult channelSetLoopCount(SoundChannel channel, int count);

uint32_t soundLengthMs(const PlatformSound* sound);

// What the set-up chose: the speaker mode, buffer and format asked for, and
// whether there is to be no output at all.
struct SoundSetup {
    bool noSound = false;
    int speakerChannels = 2;
    int sampleRate = 44100;
    SampleFormat format = SampleFormat::Pcm16;
    unsigned dspBufferLength = 0;
    int dspBufferCount = 0;
    int channels = 0;
};
