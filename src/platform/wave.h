// WAV files: how long a sound lasts, read without playing it. Used where no
// mixer decodes the sounds (the headless backend, or no sound device).
#pragma once
#include <cstdint>

// False when the file is missing or not a WAV file the game can play.
bool readWaveLength(const char* path, uint32_t& lengthMs);
