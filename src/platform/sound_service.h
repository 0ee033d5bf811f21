// The sound service: the output the sound system plays on, a table per
// backend (SDL_mixer, or silence), chosen once; and the record behind a
// sound handle.
// Only the backends and the seam include it; the game never does.
#pragma once
#include "platform/sound.h"

#include <cstdint>
#include <string>

struct SoundService {
    void (*create)();
    uint32_t (*version)();
    int (*driverCount)();
    void (*driverCaps)(int driver, uint32_t* caps, int* speakerChannels);
    const char* (*driverName)(int driver);   // null when it has none
    SoundResult (*open)(const SoundSetup& setup, int channels);
    void (*release)();
    SoundResult (*load)(const char* path, PlatformSound* sound);
    void (*unload)(PlatformSound* sound);
    void (*play)(int channel, PlatformSound* sound, bool paused);
    void (*halt)(int channel);
    // False when there is no output to ask; the seam then goes by the sound's
    // length on the clock.
    bool (*playing)(int channel, bool* playing);
    void (*loopFromHere)(int channel, PlatformSound* sound);   // the sound on the channel loops
    void (*volume)(int channel, float volume);
};

// The record behind a sound handle.
struct PlatformSound {
    std::string path;
    uint32_t lengthMs = 0;
    void* native = nullptr;
};

extern const SoundService kSilentSound;   // headless/sound_silent.cpp
// The SDL_mixer backend, where the program links it (sdl/sound_sdl.cpp);
// null in a program that plays no sound and leaves SDL_mixer out, with the
// five megabytes of libraries it brings (headless/no_mixer.cpp).
const SoundService* mixerSound();
void useSound(const SoundService& service);
