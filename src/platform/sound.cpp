// The sound system on SDL2_mixer, and its headless stand-in. Without an open
// mixer (the headless backend, or no output) a channel still "plays" for its
// sound's length on the current clock, or until stopped when looping, so the
// game's "is the music still playing" questions are answered as a listener
// would answer them.
#include "platform/sound.h"

#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/recorder.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <vector>

struct PlatformSound {
    std::string path;
    uint32_t lengthMs = 0;
    Mix_Chunk* chunk = nullptr;
};

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
    bool audioSubsystem = false;
    bool mixerOpen = false;
    SoundSetup setup;
    int channelCount = 0;
    ChannelState channels[kMaxChannels];
    uint32_t nextGeneration = 0;
    uint64_t nextStartOrder = 0;
    uint32_t lastStartedGeneration = 0;
};

SoundSystem sys;
HeadlessAudioMachine machine;

bool headless() { return platformConfig.audio == AudioBackend::Headless; }

bool channelPlaying(int index)
{
    const ChannelState& channel = sys.channels[index];
    if (!channel.sound || channel.stopped)
        return false;
    if (sys.mixerOpen)
        return Mix_Playing(index) != 0;
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

bool serverBetweenUs(const char* driver)
{
    return driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

bool realOutputDriver(const char* driver)
{
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "disk") != 0;
}

SoundResult openMixer(int channels)
{
    int frames = sys.setup.dspBufferLength ? static_cast<int>(sys.setup.dspBufferLength) : 1024;
    Uint16 format = sys.setup.format == SampleFormat::PcmFloat ? AUDIO_F32SYS : AUDIO_S16SYS;
    if (Mix_OpenAudioDevice(sys.setup.sampleRate, format, sys.setup.speakerChannels, frames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE) != 0)
        return sys.setup.speakerChannels > 2 ? SoundErrOutputCreateBuffer : SoundErrOutputInit;
    Mix_AllocateChannels(channels);
    sys.mixerOpen = true;
    return SoundOk;
}

} // namespace

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
    if (!headless())
        sys.audioSubsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return SoundOk;
}

SoundResult soundGetVersion(uint32_t* version)
{
    if (headless()) {
        *version = machine.version;
        return SoundOk;
    }
    // A mixer library older than the one we were built with counts as old.
    SDL_version built;
    SDL_MIXER_VERSION(&built);
    const SDL_version* linked = Mix_Linked_Version();
    bool older = SDL_VERSIONNUM(linked->major, linked->minor, linked->patch)
                 < SDL_VERSIONNUM(built.major, built.minor, built.patch);
    *version = older ? kSoundLayerVersion - 1 : kSoundLayerVersion;
    return SoundOk;
}

SoundResult soundGetNumDrivers(int* count)
{
    if (headless()) {
        *count = machine.driverCount;
        return SoundOk;
    }
    if (!sys.audioSubsystem || !realOutputDriver(SDL_GetCurrentAudioDriver())) {
        *count = 0;
        return SoundOk;
    }
    int devices = SDL_GetNumAudioDevices(0);
    *count = devices < 0 ? 1 : devices;   // can't list them: the default device is still there
    return SoundOk;
}

SoundResult soundGetDriverCaps(int driver, uint32_t* caps, int* speakerChannels)
{
    if (headless()) {
        *caps = machine.caps;
        *speakerChannels = machine.speakerChannels;
        return SoundOk;
    }
    *caps = serverBetweenUs(SDL_GetCurrentAudioDriver()) ? kSoundCapsHardwareEmulated : 0;
    *speakerChannels = 2;
    SDL_AudioSpec spec;
    if (SDL_GetAudioDeviceSpec(driver, 0, &spec) == 0 && spec.channels > 0)
        *speakerChannels = spec.channels;
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
    const char* found = headless() ? machine.driverName.c_str() : SDL_GetAudioDeviceName(driver, 0);
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

SoundResult soundSetOutput(SoundOutput output)
{
    sys.setup.noSound = output == SoundOutput::NoSound;
    return SoundOk;
}

SoundResult soundInit(int channels)
{
    if (!sys.created)
        return SoundErrUninitialized;
    if (channels < 1 || channels > kMaxChannels)
        return SoundErrInvalidParam;
    ++sys.setup.initCalls;
    sys.setup.channels = channels;
    sys.channelCount = channels;
    if (sys.setup.noSound)
        return SoundOk;
    if (headless()) {
        if (machine.failInit)
            return SoundErrOutputInit;
        if (machine.rejectSpeakerModeAbove2 && sys.setup.speakerChannels > 2)
            return SoundErrOutputCreateBuffer;
        return SoundOk;
    }
    return openMixer(channels);
}

SoundResult soundUpdate() { return sys.created ? SoundOk : SoundErrUninitialized; }

SoundResult soundSystemRelease()
{
    if (sys.mixerOpen)
        Mix_CloseAudio();
    if (sys.audioSubsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sys = SoundSystem{};
    return SoundOk;
}

SoundResult soundCreate(const char* path, PlatformSound** sound)
{
    *sound = nullptr;
    if (!sys.created)
        return SoundErrUninitialized;
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return SoundErrFileNotFound;
    auto* created = new PlatformSound;
    created->path = path;
    if (sys.mixerOpen) {
        // The mixer decodes the file once, into its own format; the length
        // comes from that.
        created->chunk = Mix_LoadWAV(path);
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        if (!created->chunk || !Mix_QuerySpec(&frequency, &format, &channels) || frequency <= 0) {
            delete created;
            return SoundErrFormat;
        }
        uint32_t frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
        created->lengthMs = static_cast<uint32_t>(uint64_t{created->chunk->alen} / frameBytes * 1000 / frequency);
    } else {
        SDL_AudioSpec spec;
        Uint8* samples = nullptr;
        Uint32 bytes = 0;
        if (!SDL_LoadWAV(path, &spec, &samples, &bytes)) {
            delete created;
            return SoundErrFormat;
        }
        SDL_FreeWAV(samples);
        int frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
        if (frameBytes <= 0 || spec.freq <= 0) {
            delete created;
            return SoundErrFormat;
        }
        created->lengthMs = static_cast<uint32_t>(static_cast<uint64_t>(bytes / frameBytes) * 1000 / spec.freq);
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
        if (sys.mixerOpen)
            Mix_HaltChannel(i);
        sys.channels[i] = ChannelState{};
    }
    if (sound->chunk)
        Mix_FreeChunk(sound->chunk);
    delete sound;
    return SoundOk;
}

SoundResult soundPlay(PlatformSound* sound, bool paused, SoundChannel* handle)
{
    if (!sound)
        return SoundErrInvalidHandle;
    if (sys.channelCount == 0)
        return SoundErrUninitialized;
    recordSoundStart(sound);
    int index = chooseChannel();
    ChannelState& channel = sys.channels[index];
    channel.sound = sound;
    channel.generation = ++sys.nextGeneration;
    channel.startOrder = ++sys.nextStartOrder;
    channel.startTick = readTickCount();
    channel.looping = false;
    channel.stopped = false;
    sys.lastStartedGeneration = channel.generation;
    if (sys.mixerOpen && sound->chunk) {
        Mix_Volume(index, MIX_MAX_VOLUME);
        Mix_PlayChannel(index, sound->chunk, 0);
        if (paused)
            Mix_Pause(index);
    }
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
    if (sys.mixerOpen)
        Mix_HaltChannel(handle.index);
    channel->stopped = true;
    return SoundOk;
}

SoundResult channelSetLooping(SoundChannel handle, bool looping)
{
    ChannelState* channel = lookUp(handle);
    if (!channel)
        return SoundErrInvalidHandle;
    if (looping && !channel->looping && sys.mixerOpen && channelPlaying(handle.index)) {
        // The mixer fixes the loop count when a sound starts, so start it
        // again looping; it began a moment ago, so nothing is heard twice.
        int volume = Mix_Volume(handle.index, -1);
        Mix_PlayChannel(handle.index, channel->sound->chunk, -1);
        Mix_Volume(handle.index, volume);
    }
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
        recordSoundVolume(volume);
    if (sys.mixerOpen) {
        float clamped = std::clamp(volume, 0.0f, 1.0f);
        Mix_Volume(handle.index, static_cast<int>(clamped * MIX_MAX_VOLUME + 0.5f));
    }
    return SoundOk;
}

uint32_t soundLengthMs(const PlatformSound* sound) { return sound ? sound->lengthMs : 0; }

void configureHeadlessAudio(const HeadlessAudioMachine& configured) { machine = configured; }

const SoundSetup& soundSetup() { return sys.setup; }
