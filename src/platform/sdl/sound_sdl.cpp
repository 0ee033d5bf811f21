// Sound on SDL2_mixer: the audio device, the mixer's channels, and the
// sounds: short ones decoded whole into the mixer's format, long ones (the
// tunes) streamed from their files as they play, on the mixer's one music
// stream, which stands in for the channel the seam gave the tune. Until the
// mixer is open (no device, or the set-up chose no output) nothing plays and
// the seam keeps time instead.
#include "platform/sound_service.h"
#include "platform/wave.h"
#include "platform/sdl/sdl_internal.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Longer than this, a sound is streamed: decoding the tunes whole would
// cost seconds of audio in memory and time at start-up.
constexpr uint32_t kStreamedFromMs = 5000;

struct SdlSound {
    Mix_Chunk* chunk = nullptr;   // decoded whole
    Mix_Music* music = nullptr;   // or streamed
};

bool audioSubsystem = false;
bool mixerWanted = false;   // there is something to play on
bool mixerOpen = false;
int streamChannel = -1;     // the channel the music stream plays for

SdlSound* sdlSound(const PlatformSound* sound) { return static_cast<SdlSound*>(sound->native); }

// What the channel had stops: a chunk on the mixer's channel, or the stream.
void silence(int channel)
{
    if (channel == streamChannel) {
        Mix_HaltMusic();
        streamChannel = -1;
    } else {
        Mix_HaltChannel(channel);
    }
}

bool serverBetweenUs(const char* driver)
{
    return driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

// SDL's dummy output plays to nothing: the game counts it as no sound card.
// Its disk output writes what a card would play to a file (SDL_DISKAUDIOFILE),
// so it counts as one: what the player would hear can be measured there.
bool realOutputDriver(const char* driver)
{
    return driver && std::strcmp(driver, "dummy") != 0;
}


// The oldest SDL_mixer the game works with: 2.0.2 brought
// Mix_OpenAudioDevice, the newest of the calls it makes.
constexpr int kOldestMixer = SDL_VERSIONNUM(2, 0, 2);

uint32_t version()
{
    const SDL_version* linked = Mix_Linked_Version();
    const bool older = SDL_VERSIONNUM(linked->major, linked->minor, linked->patch) < kOldestMixer;
    return older ? kSoundLayerVersion - 1 : kSoundLayerVersion;
}

int driverCount()
{
    if (!audioSubsystem || !realOutputDriver(SDL_GetCurrentAudioDriver()))
        return 0;
    int devices = SDL_GetNumAudioDevices(0);
    return devices < 0 ? 1 : devices;   // can't list them: the default device is still there
}

bool askedForByName()
{
    const char* asked = std::getenv("SDL_AUDIODRIVER");
    return asked && *asked;
}

// SDL's audio, and SDL_mixer when there is something to play on: a device,
// or a driver asked for by name (the disk or dummy output of a test).
void create()
{
    mixerOpen = false;
    audioSubsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    mixerWanted = audioSubsystem && (driverCount() > 0 || askedForByName());
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
    if (!mixerWanted)
        return SoundErrOutputInit;
    int frames = setup.dspBufferLength ? static_cast<int>(setup.dspBufferLength) : 1024;
    Uint16 format = setup.format == SampleFormat::PcmFloat ? AUDIO_F32SYS : AUDIO_S16SYS;
    if (Mix_OpenAudioDevice(setup.sampleRate, format, setup.speakerChannels, frames, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE) != 0)
        return setup.speakerChannels > 2 ? SoundErrOutputCreateBuffer : SoundErrOutputInit;
    Mix_AllocateChannels(channels);
    mixerOpen = true;
    streamChannel = -1;
    return SoundOk;
}

void release()
{
    if (mixerOpen) {
        Mix_HaltMusic();
        Mix_CloseAudio();
    }
    streamChannel = -1;
    if (audioSubsystem)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixerOpen = false;
    audioSubsystem = false;
}

SoundResult load(const char* path, PlatformSound* sound)
{
    if (!readWaveLength(path, sound->lengthMs))
        return SoundErrFormat;
    if (!mixerOpen)
        return SoundOk;
    auto* loaded = new SdlSound;
    if (sound->lengthMs >= kStreamedFromMs) {
        loaded->music = Mix_LoadMUS(path);
    } else {
        // The mixer decodes the file once, into its own format; the length
        // comes from that.
        loaded->chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path, "rb"), 1);
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        if (loaded->chunk && Mix_QuerySpec(&frequency, &format, &channels) && frequency > 0) {
            uint32_t frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
            sound->lengthMs = static_cast<uint32_t>(uint64_t{loaded->chunk->alen} / frameBytes * 1000 / frequency);
        }
    }
    if (!loaded->chunk && !loaded->music) {
        delete loaded;
        return SoundErrFormat;
    }
    sound->native = loaded;
    return SoundOk;
}

void unload(PlatformSound* sound)
{
    SdlSound* loaded = sdlSound(sound);
    if (!loaded)
        return;
    if (loaded->chunk)
        Mix_FreeChunk(loaded->chunk);
    if (loaded->music)
        Mix_FreeMusic(loaded->music);   // stops the stream if it plays
    delete loaded;
    sound->native = nullptr;
}

// A channel's volume as the game sets it (0 to 1), scaled by the player's
// volume for its part: the tunes (the long sounds, streamed) or the effects.
int mixerLevel(float volume, bool tune)
{
    const float gain = tune ? sdlConfig().musicGain : sdlConfig().effectsGain;
    return static_cast<int>(std::clamp(volume, 0.0f, 1.0f) * std::clamp(gain, 0.0f, 1.0f) * MIX_MAX_VOLUME + 0.5f);
}

// `loops` as the mixer counts them: 0 once, -1 for ever.
void start(int channel, const SdlSound* loaded, int loops)
{
    silence(channel);   // a sound taking a channel takes it whole
    if (loaded->music) {
        // The one stream leaves whichever channel had it.
        Mix_PlayMusic(loaded->music, loops);
        streamChannel = channel;
    } else {
        Mix_PlayChannel(channel, loaded->chunk, loops);
    }
}

void play(int channel, PlatformSound* sound, bool paused)
{
    if (!mixerOpen || !sound->native)
        return;
    const SdlSound* loaded = sdlSound(sound);
    if (loaded->music)
        Mix_VolumeMusic(mixerLevel(1.0f, true));
    else
        Mix_Volume(channel, mixerLevel(1.0f, false));
    start(channel, loaded, 0);
    if (paused)
        loaded->music ? Mix_PauseMusic() : Mix_Pause(channel);
}

void halt(int channel)
{
    if (mixerOpen)
        silence(channel);
}

bool playing(int channel, bool* playing)
{
    if (!mixerOpen)
        return false;
    *playing = (channel == streamChannel ? Mix_PlayingMusic() : Mix_Playing(channel)) != 0;
    return true;
}

// The mixer fixes the loop count when a sound starts, so start it again
// looping. It began a moment ago: at most what the device had already taken
// of it (a few milliseconds) is heard before it starts over.
void loopFromHere(int channel, PlatformSound* sound)
{
    if (!mixerOpen || !sound->native)
        return;
    const bool music = sdlSound(sound)->music != nullptr;
    const int volume = music ? Mix_VolumeMusic(-1) : Mix_Volume(channel, -1);
    start(channel, sdlSound(sound), -1);
    music ? Mix_VolumeMusic(volume) : Mix_Volume(channel, volume);
}

void volume(int channel, float volume)
{
    if (!mixerOpen)
        return;
    if (channel == streamChannel)
        Mix_VolumeMusic(mixerLevel(volume, true));
    else
        Mix_Volume(channel, mixerLevel(volume, false));
}

} // namespace

const SoundService kMixerSound = {
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

const SoundService* mixerSound() { return &kMixerSound; }
