// WAV lengths through SDL's own loader, which refuses what the mixer would.
#include "platform/wave.h"

#include <SDL.h>

bool readWaveLength(const char* path, uint32_t& lengthMs)
{
    SDL_AudioSpec spec;
    Uint8* samples = nullptr;
    Uint32 bytes = 0;
    if (!SDL_LoadWAV(path, &spec, &samples, &bytes))
        return false;
    SDL_FreeWAV(samples);
    int frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    if (frameBytes <= 0 || spec.freq <= 0)
        return false;
    lengthMs = static_cast<uint32_t>(static_cast<uint64_t>(bytes / frameBytes) * 1000 / spec.freq);
    return true;
}
