// WAV files: how long a sound lasts, read from the file's header without
// decoding it. Used where no mixer decodes the sounds (the headless
// backend, no sound device) and for the sounds the mixer streams.
#pragma once
#include <cstdint>

// False when the file is missing or not a whole PCM or float WAV file: a
// chunk that claims more than the file holds is damage, not a short sound.
bool readWaveLength(const char* path, uint32_t& lengthMs);
