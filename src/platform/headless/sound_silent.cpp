// Silence: a pretend machine with the drivers, capabilities and failures a
// test sets, that plays nothing. Sounds are still read, so a damaged file
// fails as it would, and their lengths let the seam tell when one has ended.
#include "platform/backends.h"
#include "platform/test_hooks.h"
#include "platform/wave.h"

namespace {
HeadlessAudioMachine machine;
}

void configureHeadlessAudio(const HeadlessAudioMachine& configured) { machine = configured; }

const SoundService kSilentSound = {
    .create = [] {},
    .version = [] { return machine.version; },
    .driverCount = [] { return machine.driverCount; },
    .driverCaps =
        [](int, uint32_t* caps, int* speakerChannels) {
            *caps = machine.caps;
            *speakerChannels = machine.speakerChannels;
        },
    .driverName = [](int) { return machine.driverName.c_str(); },
    .open =
        [](const SoundSetup& setup, int) {
            if (machine.failInit)
                return SoundErrOutputInit;
            if (machine.rejectSpeakerModeAbove2 && setup.speakerChannels > 2)
                return SoundErrOutputCreateBuffer;
            return SoundOk;
        },
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
