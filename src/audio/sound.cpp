// Sound set-up and the playback patterns.
#include "audio/sound.h"

#include "platform/platform.h"
#include "platform/window.h"

#include <cmath>
#include <cstdio>
#include <cstring>

SoundResult soundResult = SoundOk;

PlatformSound* shootSound = nullptr;
PlatformSound* scoreSound = nullptr;
PlatformSound* hitSound = nullptr;
PlatformSound* gameoverSound = nullptr;
PlatformSound* countdownSound = nullptr;
PlatformSound* oneUpSound = nullptr;
PlatformSound* levelupSound = nullptr;
PlatformSound* bossshootSound = nullptr;
PlatformSound* menubgndSound = nullptr;

SoundChannel musicChannel;
SoundChannel scoreChannel;

namespace {

constexpr int kChannels = 5;

void reportSoundError() { std::fprintf(stderr, "kestrelon: sound: %s\n", soundErrorString(soundResult)); }

// Set-up for an output device: its speaker layout, a bigger buffer behind a
// sound server, and floating-point output for the one chip family that
// needs it. False when a step failed (already reported).
bool setUpDriver()
{
    uint32_t caps = 0;
    int speakerChannels = 2;
    soundResult = soundGetDriverCaps(0, &caps, &speakerChannels);
    if (!checkSoundResult())
        return false;
    soundResult = soundSetSpeakerMode(speakerChannels);
    if (!checkSoundResult())
        return false;
    if (caps & kSoundCapsHardwareEmulated) {
        soundResult = soundSetDspBufferSize(1024, 10);
        if (!checkSoundResult())
            return false;
    }
    char name[256];
    soundResult = soundGetDriverInfo(0, name, sizeof name);
    if (!checkSoundResult())
        return false;
    if (std::strstr(name, "SigmaTel")) {
        soundResult = soundSetSoftwareFormat(48000, SampleFormat::PcmFloat);
        if (!checkSoundResult())
            return false;
    }
    return true;
}

} // namespace

bool checkSoundResult()
{
    if (soundResult == SoundOk)
        return true;
    reportSoundError();
    return false;
}

bool initSound()
{
    soundResult = soundSystemCreate();
    if (soundResult != SoundOk) {
        reportSoundError();
        return false;
    }
    uint32_t version = 0;
    soundResult = soundGetVersion(&version);
    if (soundResult != SoundOk) {
        reportSoundError();
        return false;
    }
    if (version < kRequiredSoundVersion) {
        showMessageBox("Error", "Error, you are using an old version of FMOD!", BoxIcon::Error, kStartupFailedExitCode);
        return false;
    }
    int drivers = 0;
    soundResult = soundGetNumDrivers(&drivers);
    if (soundResult != SoundOk) {
        reportSoundError();
        return false;
    }
    if (drivers == 0) {
        soundResult = soundSetOutput(SoundOutput::NoSound);
        if (!checkSoundResult())
            return false;
    } else if (!setUpDriver()) {
        return false;
    }
    soundResult = soundInit(kChannels);
    if (checkSoundResult())
        return true;
    if (soundResult == SoundErrOutputCreateBuffer) {
        // The card does not take its own speaker layout: stereo will do.
        soundResult = soundSetSpeakerMode(2);
        checkSoundResult();
        soundResult = soundInit(kChannels);
        if (checkSoundResult())
            return true;
    }
    // An output that will not open must not keep the game from starting:
    // play on silently.
    soundResult = soundSetOutput(SoundOutput::NoSound);
    checkSoundResult();
    soundResult = soundInit(kChannels);
    return checkSoundResult();
}

void shutdownSound() { soundResult = soundSystemRelease(); }

bool loadSound(const char* path, PlatformSound** sound)
{
    soundResult = soundCreate(path, sound);
    if (soundResult != SoundOk) {
        std::fprintf(stderr, "kestrelon: cannot load %s: %s\n", path, soundErrorString(soundResult));
        return false;
    }
    soundSetLoopOff(*sound);
    return true;
}

void playOneShot(PlatformSound* sound) { soundResult = soundPlay(sound, false, nullptr); }

bool musicPlaying()
{
    bool playing = false;
    channelIsPlaying(musicChannel, &playing);
    return playing;
}

void startLoopingTune(PlatformSound* tune)
{
    if (musicPlaying())
        return;
    soundResult = soundPlay(tune, false, &musicChannel);
    channelSetLooping(musicChannel, true);
    channelSetVolume(musicChannel, 1.0f);
    channelSetLoopCount(musicChannel, -1);
}

void stopLoopingTune()
{
    if (musicPlaying())
        channelStop(musicChannel);
}

void playScoreSound(float dx, float dy)
{
    soundResult = soundPlay(scoreSound, false, &scoreChannel);
    float sumOfSquares = dx * dx + dy * dy;
    float distance = static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
    float diagonal = static_cast<float>(std::sqrt(1638400.0));
    channelSetVolume(scoreChannel, 1.0f - distance / diagonal);
}
