// Sound on SDL2_mixer: the audio device, the mixer's channels, and the
// sounds: short ones decoded whole into the mixer's format, long ones (the
// tunes) streamed from their files as they play, on the mixer's one music
// stream, which stands in for the channel the seam gave the tune. Until the
// mixer is open (no device, or the set-up chose no output) nothing plays and
// the seam keeps time instead.
#include "platform/backends.h"
#include "platform/sdl/mixer_sdl.h"
#include "platform/wave.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Longer than this, a sound is streamed: decoding the tunes whole would
// cost seconds of audio in memory and time at start-up.
constexpr uint32_t kStreamedFromMs = 5000;

struct SdlSound {
    Mix_Chunk* chunk = nullptr;   // decoded whole
    Mix_Music* music = nullptr;   // or streamed
};

const MixerLibrary* mix = nullptr;   // null: no sound to be had
bool audioSubsystem = false;
// SDL's audio, started ahead on a thread (see getReadyEarly).
// A jthread, as every start-up thread: joined even when a library ends the
// process with exit() (Xlib, when the display goes away), never an abort.
std::jthread audioStarter;
bool audioStartedAhead = false;
bool mixerOpen = false;
int musicChannel = -1;   // the channel the music stream plays for

SdlSound* sdlSound(const PlatformSound* sound) { return static_cast<SdlSound*>(sound->native); }

// What the channel had stops: a chunk on the mixer's channel, or the stream.
void silence(int channel)
{
    if (channel == musicChannel) {
        mix->haltMusic();
        musicChannel = -1;
    } else {
        mix->haltChannel(channel);
    }
}

bool serverBetweenUs(const char* driver)
{
    return driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

bool realOutputDriver(const char* driver)
{
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "disk") != 0;
}


// A mixer library older than the one we were built with counts as old.
uint32_t version()
{
    if (!mix)
        return kSoundLayerVersion;   // no sound at all, rather than an old one
    SDL_version built;
    SDL_MIXER_VERSION(&built);
    const SDL_version* linked = mix->linkedVersion();
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
    if (audioStarter.joinable()) {
        audioStarter.join();
        audioSubsystem = audioStartedAhead;
        audioStartedAhead = false;
    } else {
        audioSubsystem = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    mix = nullptr;
    if (audioSubsystem && (driverCount() > 0 || askedForByName()))
        mix = mixer();
}

// Whether this machine seems to have sound at all: then SDL_mixer is worth
// loading ahead, on a thread, while the window opens. (Without, it is
// loaded only if SDL's audio starts all the same.)
bool soundLikely()
{
    if (askedForByName() || std::getenv("PULSE_SERVER"))
        return true;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
        for (const char* socket : {"/pulse/native", "/pipewire-0"})
            if (access((std::string(runtime) + socket).c_str(), F_OK) == 0)
                return true;
    return access("/dev/snd/pcmC0D0p", F_OK) == 0 || access("/dev/snd/timer", F_OK) == 0;
}

// Once SDL's other parts are up: SDL's audio probes the machine's sound
// servers and cards, some milliseconds even when there are none, so it is
// started on a thread while the game makes its device and reads its files;
// the sound's creation then takes it as it is. SDL_mixer, when there is
// likely something to play on, is loaded alongside.
void getReadyEarly()
{
    if (soundLikely())
        startLoadingMixer();
    audioStartedAhead = false;
    audioStarter = std::jthread([] {
        audioStartedAhead = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        SDL_TLSCleanup();   // SDL's error text for this thread, which SDL did not start
    });
}

// Whatever was started ahead and never taken is ended before SDL is.
void stop()
{
    if (audioStarter.joinable())
        audioStarter.join();
    if (audioStartedAhead)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioStartedAhead = false;
    finishLoadingMixer();
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
    if (!mix)
        return SoundErrOutputInit;
    int frames = setup.dspBufferLength ? static_cast<int>(setup.dspBufferLength) : 1024;
    Uint16 format = setup.format == SampleFormat::PcmFloat ? AUDIO_F32SYS : AUDIO_S16SYS;
    if (mix->openAudioDevice(setup.sampleRate, format, setup.speakerChannels, frames, nullptr,
                             SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE) != 0)
        return setup.speakerChannels > 2 ? SoundErrOutputCreateBuffer : SoundErrOutputInit;
    mix->allocateChannels(channels);
    mixerOpen = true;
    musicChannel = -1;
    return SoundOk;
}

void release()
{
    if (mixerOpen) {
        mix->haltMusic();
        mix->closeAudio();
    }
    musicChannel = -1;
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
        loaded->music = mix->loadMusic(path);
    } else {
        // The mixer decodes the file once, into its own format; the length
        // comes from that.
        loaded->chunk = mix->loadWavRw(SDL_RWFromFile(path, "rb"), 1);
        int frequency = 0, channels = 0;
        Uint16 format = 0;
        if (loaded->chunk && mix->querySpec(&frequency, &format, &channels) && frequency > 0) {
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
        mix->freeChunk(loaded->chunk);
    if (loaded->music)
        mix->freeMusic(loaded->music);   // stops the stream if it plays
    delete loaded;
    sound->native = nullptr;
}

// `loops` as the mixer counts them: 0 once, -1 for ever.
void start(int channel, const SdlSound* loaded, int loops)
{
    silence(channel);   // a sound taking a channel takes it whole
    if (loaded->music) {
        // The one stream leaves whichever channel had it.
        mix->playMusic(loaded->music, loops);
        musicChannel = channel;
    } else {
        mix->playChannelTimed(channel, loaded->chunk, loops, -1);
    }
}

void play(int channel, PlatformSound* sound, bool paused)
{
    if (!mixerOpen || !sound->native)
        return;
    const SdlSound* loaded = sdlSound(sound);
    if (loaded->music)
        mix->volumeMusic(MIX_MAX_VOLUME);
    else
        mix->volume(channel, MIX_MAX_VOLUME);
    start(channel, loaded, 0);
    if (paused)
        loaded->music ? mix->pauseMusic() : mix->pause(channel);
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
    *playing = (channel == musicChannel ? mix->playingMusic() : mix->playing(channel)) != 0;
    return true;
}

// The mixer fixes the loop count when a sound starts, so start it again
// looping; it began a moment ago, so nothing is heard twice.
void loopFromHere(int channel, PlatformSound* sound)
{
    if (!mixerOpen || !sound->native)
        return;
    const bool music = sdlSound(sound)->music != nullptr;
    const int volume = music ? mix->volumeMusic(-1) : mix->volume(channel, -1);
    start(channel, sdlSound(sound), -1);
    music ? mix->volumeMusic(volume) : mix->volume(channel, volume);
}

void volume(int channel, float volume)
{
    if (!mixerOpen)
        return;
    const int level = static_cast<int>(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME + 0.5f);
    if (channel == musicChannel)
        mix->volumeMusic(level);
    else
        mix->volume(channel, level);
}

} // namespace

const SoundService kSdlSound = {
    .start = getReadyEarly,
    .stop = stop,
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
