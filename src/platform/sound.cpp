// The sound system's bookkeeping, the same whatever plays the sounds: the
// set-up asked for, five channels with handles that go stale, the choice of
// a channel for a new sound. Without output (the silent backend, or no
// sound device) a channel still "plays" for its sound's length on the
// current clock, or until stopped when looping, so the game's "is the music
// still playing" questions are answered as a listener would answer them.
#include "platform/sound.h"

#include "platform/sound_service.h"
#include "platform/files.h"
#include "platform/clock.h"
#include "platform/call_log.h"

#include <cstring>
#include <filesystem>

namespace {

constexpr int kMaxChannels = 32;

struct ChannelState {
    PlatformSound* sound = nullptr;
    uint32_t generation = 0;
    uint32_t startTick = 0;
    uint64_t startOrder = 0;
    bool looping = false;
    bool stopped = true;
};

struct SoundSystem {
    bool created = false;
    SoundSetup setup;
    int channelCount = 0;
    ChannelState channels[kMaxChannels];
    uint32_t nextGeneration = 0;
    uint64_t nextStartOrder = 0;
    uint32_t lastStartedGeneration = 0;
};

const SoundService* output = &kSilentSound;
SoundSystem sys;

bool channelPlaying(int index)
{
    const ChannelState& channel = sys.channels[index];
    if (!channel.sound || channel.stopped)
        return false;
    bool playing = false;
    if (output->playing(index, &playing))
        return playing;
    if (channel.looping)
        return true;
    return readTickCount() - channel.startTick < channel.sound->lengthMs;
}

ChannelState* lookUp(SoundChannel handle)
{
    if (handle.index < 0 || handle.index >= sys.channelCount)
        return nullptr;
    ChannelState& channel = sys.channels[handle.index];
    if (channel.generation != handle.generation || handle.generation == 0)
        return nullptr;
    return &channel;
}

// A free channel, or else the one that started longest ago.
int chooseChannel()
{
    int oldest = 0;
    for (int i = 0; i < sys.channelCount; ++i) {
        if (!channelPlaying(i))
            return i;
        if (sys.channels[i].startOrder < sys.channels[oldest].startOrder)
            oldest = i;
    }
    return oldest;
}

} // namespace

void useSound(const SoundService& service) { output = &service; }

const char* soundErrorString(SoundResult result)
{
    switch (result) {
    case SoundOk: return "No errors.";
    case SoundErrFileNotFound: return "File not found.";
    case SoundErrFormat: return "Unsupported file or audio format.";
    case SoundErrOutputCreateBuffer: return "Error creating hardware sound buffer.";
    case SoundErrOutputInit: return "Error initializing output device.";
    case SoundErrUninitialized: return "This command failed because System::init was not called.";
    case SoundErrInvalidHandle: return "An invalid object handle was used.";
    case SoundErrInvalidParam: return "An invalid parameter was passed to this function.";
    }
    return "Unknown error.";
}

SoundResult soundSystemCreate()
{
    sys = SoundSystem{};
    sys.created = true;
    output->create();
    return SoundOk;
}

SoundResult soundGetVersion(uint32_t* version)
{
    *version = output->version();
    return SoundOk;
}

SoundResult soundGetNumDrivers(int* count)
{
    *count = output->driverCount();
    return SoundOk;
}

SoundResult soundGetDriverCaps(int driver, uint32_t* caps, int* speakerChannels)
{
    output->driverCaps(driver, caps, speakerChannels);
    return SoundOk;
}

SoundResult soundSetSpeakerMode(int speakerChannels)
{
    if (speakerChannels < 1 || speakerChannels > 8)
        return SoundErrInvalidParam;
    sys.setup.speakerChannels = speakerChannels;
    return SoundOk;
}

SoundResult soundSetDspBufferSize(unsigned length, int count)
{
    sys.setup.dspBufferLength = length;
    sys.setup.dspBufferCount = count;
    return SoundOk;
}

SoundResult soundGetDriverInfo(int driver, char* name, int nameLength)
{
    if (nameLength <= 0)
        return SoundErrInvalidParam;
    const char* found = output->driverName(driver);
    if (!found)
        found = "Default output";
    std::strncpy(name, found, static_cast<size_t>(nameLength) - 1);
    name[nameLength - 1] = '\0';
    return SoundOk;
}

SoundResult soundSetSoftwareFormat(int sampleRate, SampleFormat format)
{
    sys.setup.sampleRate = sampleRate;
    sys.setup.format = format;
    return SoundOk;
}

SoundResult soundSetOutput(SoundOutput choice)
{
    sys.setup.noSound = choice == SoundOutput::NoSound;
    return SoundOk;
}

SoundResult soundInit(int channels)
{
    if (!sys.created)
        return SoundErrUninitialized;
    if (channels < 1 || channels > kMaxChannels)
        return SoundErrInvalidParam;
    sys.setup.channels = channels;
    sys.channelCount = channels;
    if (sys.setup.noSound)
        return SoundOk;
    return output->open(sys.setup, channels);
}

SoundResult soundUpdate() { return sys.created ? SoundOk : SoundErrUninitialized; }

SoundResult soundSystemRelease()
{
    if (sys.created)
        output->release();
    sys = SoundSystem{};
    return SoundOk;
}

SoundResult soundCreate(const char* name, PlatformSound** sound)
{
    *sound = nullptr;
    if (!sys.created)
        return SoundErrUninitialized;
    const std::string path = gameFilePath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return SoundErrFileNotFound;
    auto* created = new PlatformSound;
    created->path = path;
    SoundResult result = output->load(path.c_str(), created);
    if (result != SoundOk) {
        delete created;
        return result;
    }
    *sound = created;
    return SoundOk;
}

SoundResult soundSetLoopOff(PlatformSound* sound) { return sound ? SoundOk : SoundErrInvalidHandle; }

SoundResult soundRelease(PlatformSound* sound)
{
    if (!sound)
        return SoundErrInvalidHandle;
    for (int i = 0; i < sys.channelCount; ++i) {
        if (sys.channels[i].sound != sound)
            continue;
        output->halt(i);
        sys.channels[i] = ChannelState{};
    }
    output->unload(sound);
    delete sound;
    return SoundOk;
}

SoundResult soundPlay(PlatformSound* sound, bool paused, SoundChannel* handle)
{
    if (!sound)
        return SoundErrInvalidHandle;
    if (sys.channelCount == 0)
        return SoundErrUninitialized;
    logSoundStart(sound);
    int index = chooseChannel();
    ChannelState& channel = sys.channels[index];
    channel.sound = sound;
    channel.generation = ++sys.nextGeneration;
    channel.startOrder = ++sys.nextStartOrder;
    channel.startTick = readTickCount();
    channel.looping = false;
    channel.stopped = false;
    sys.lastStartedGeneration = channel.generation;
    output->play(index, sound, paused);
    if (handle)
        *handle = SoundChannel{index, channel.generation};
    return SoundOk;
}

SoundResult channelIsPlaying(SoundChannel handle, bool* playing)
{
    *playing = false;
    if (!lookUp(handle))
        return SoundErrInvalidHandle;
    *playing = channelPlaying(handle.index);
    return SoundOk;
}

SoundResult channelStop(SoundChannel handle)
{
    ChannelState* channel = lookUp(handle);
    if (!channel)
        return SoundErrInvalidHandle;
    output->halt(handle.index);
    channel->stopped = true;
    return SoundOk;
}

SoundResult channelSetLooping(SoundChannel handle, bool looping)
{
    ChannelState* channel = lookUp(handle);
    if (!channel)
        return SoundErrInvalidHandle;
    if (looping && !channel->looping && channelPlaying(handle.index))
        output->loopFromHere(handle.index, channel->sound);
    channel->looping = looping;
    return SoundOk;
}

SoundResult channelSetLoopCount(SoundChannel handle, int count)
{
    if (!lookUp(handle))
        return SoundErrInvalidHandle;
    return count < 0 ? channelSetLooping(handle, true) : SoundOk;
}

SoundResult channelSetVolume(SoundChannel handle, float volume)
{
    if (!lookUp(handle))
        return SoundErrInvalidHandle;
    if (handle.generation == sys.lastStartedGeneration)
        logSoundVolume(volume);
    output->volume(handle.index, volume);
    return SoundOk;
}

uint32_t soundLengthMs(const PlatformSound* sound) { return sound ? sound->lengthMs : 0; }

