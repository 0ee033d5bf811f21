// Silence: a pretend machine with one plain stereo output that plays
// nothing. Sounds are still read, so a damaged file fails as it would, and
// their lengths let the seam tell when one has ended.
#include "platform/sound_service.h"
#include "platform/wave.h"

const SoundService kSilentSound = {
    .create = [] {},
    .version = [] { return kSoundLayerVersion; },
    .driverCount = [] { return 1; },
    .driverCaps =
        [](int, uint32_t* caps, int* speakerChannels) {
            *caps = 0;
            *speakerChannels = 2;
        },
    .driverName = [](int) { return "Virtual output"; },
    .open = [](const SoundSetup&, int) { return SoundOk; },
    .release = [] {},
    .load = [](const char* path, PlatformSound* sound) {
        return readWaveLength(path, sound->lengthMs) ? SoundOk : SoundErrFormat;
    },
    .unload = [](PlatformSound*) {},
    .play = [](int, PlatformSound*, bool) {},
    .halt = [](int) {},
    .playing = [](int, bool*) { return false; },
    .loopFromHere = [](int, PlatformSound*) {},
    .volume = [](int, float) {},
};
