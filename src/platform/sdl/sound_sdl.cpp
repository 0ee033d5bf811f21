// Sound on SDL2_mixer: the audio device, the mixer's channels, and sounds
// decoded whole into its format. Until the mixer is open (no device, or the
// set-up chose no output) nothing plays and the seam keeps time instead.
#include "platform/backends.h"
#include "platform/wave.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstring>

namespace {

bool audioSubsystem = false;
bool mixerOpen = false;

Mix_Chunk* chunkOf(const PlatformSound* sound) { return static_cast<Mix_Chunk*>(sound->native); }

bool serverBetweenUs(const char* driver)
{
    return driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

bool realOutputDriver(const char* driver)
{
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "disk") != 0;
}

void create()
{
    mixerOpen = false;
    audioSubsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

// A mixer library older than the one we were built with counts as old.
uint32_t version()
{
    SDL_version built;
    SDL_MIXER_VERSION(&built);
    const SDL_version* linked = Mix_Linked_Version();
    bool older = SDL_VERSIONNUM(linked->major, linked->minor, linked->patch)
                 < SDL_VERSIONNUM(built.major, built.minor, built.patch);
    return older ? kSoundLayerVersion - 1 : kSoundLayerVersion;
}

int driverCount()
{
    if (!audioSubsystem || !realOutputDriver(SDL_GetCurrentAudioDriver()))
        return 0;
    int devices = SDL_GetNumAudioDevices(0);
    return devices < 0 ? 1 : devices;   // can't list them: the default device is still there
}

void driverCaps(int driver, uint32_t* caps, int* speakerChannels)
{
    *caps = serverBetweenUs(SDL_GetCurrentAudioDriver()) ? kSoundCapsHardwareEmulated : 0;
    *speakerChannels = 2;
    SDL_AudioSpec spec;
    if (SDL_GetAudioDeviceSpec(driver, 0, &spec) == 0 && spec.channels > 0)
        *speakerChannels = spec.channels;
}

SoundResult open(const SoundSetup& setup, int channels)
{
    int frames = setup.dspBufferLength ? static_cast<int>(setup.dspBufferLength) : 1024;
    Uint16 format = setup.format == SampleFormat::PcmFloat ? AUDIO_F32SYS : AUDIO_S16SYS;
    if (Mix_OpenAudioDevice(setup.sampleRate, format, setup.speakerChannels, frames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE) != 0)
        return setup.speakerChannels > 2 ? SoundErrOutputCreateBuffer : SoundErrOutputInit;
    Mix_AllocateChannels(channels);
    mixerOpen = true;
    return SoundOk;
}

void release()
{
    if (mixerOpen)
        Mix_CloseAudio();
    if (audioSubsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixerOpen = false;
    audioSubsystem = false;
}

SoundResult load(const char* path, PlatformSound* sound)
{
    if (!mixerOpen)
        return readWaveLength(path, sound->lengthMs) ? SoundOk : SoundErrFormat;
    // The mixer decodes the file once, into its own format; the length comes
    // from that.
    Mix_Chunk* chunk = Mix_LoadWAV(path);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (!chunk || !Mix_QuerySpec(&frequency, &format, &channels) || frequency <= 0) {
        if (chunk)
            Mix_FreeChunk(chunk);
        return SoundErrFormat;
    }
    uint32_t frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
    sound->lengthMs = static_cast<uint32_t>(uint64_t{chunk->alen} / frameBytes * 1000 / frequency);
    sound->native = chunk;
    return SoundOk;
}

void unload(PlatformSound* sound)
{
    if (sound->native)
        Mix_FreeChunk(chunkOf(sound));
    sound->native = nullptr;
}

void play(int channel, PlatformSound* sound, bool paused)
{
    if (!mixerOpen || !sound->native)
        return;
    Mix_Volume(channel, MIX_MAX_VOLUME);
    Mix_PlayChannel(channel, chunkOf(sound), 0);
    if (paused)
        Mix_Pause(channel);
}

void halt(int channel)
{
    if (mixerOpen)
        Mix_HaltChannel(channel);
}

bool playing(int channel, bool* playing)
{
    if (!mixerOpen)
        return false;
    *playing = Mix_Playing(channel) != 0;
    return true;
}

// The mixer fixes the loop count when a sound starts, so start it again
// looping; it began a moment ago, so nothing is heard twice.
void loopFromHere(int channel, PlatformSound* sound)
{
    if (!mixerOpen || !sound->native)
        return;
    int volume = Mix_Volume(channel, -1);
    Mix_PlayChannel(channel, chunkOf(sound), -1);
    Mix_Volume(channel, volume);
}

void volume(int channel, float volume)
{
    if (!mixerOpen)
        return;
    float clamped = std::clamp(volume, 0.0f, 1.0f);
    Mix_Volume(channel, static_cast<int>(clamped * MIX_MAX_VOLUME + 0.5f));
}

} // namespace

const SoundService kSdlSound = {
    .create = create,
    .version = version,
    .driverCount = driverCount,
    .driverCaps = driverCaps,
    .driverName = [](int driver) { return SDL_GetAudioDeviceName(driver, 0); },
    .open = open,
    .release = release,
    .load = load,
    .unload = unload,
    .play = play,
    .halt = halt,
    .playing = playing,
    .loopFromHere = loopFromHere,
    .volume = volume,
};
