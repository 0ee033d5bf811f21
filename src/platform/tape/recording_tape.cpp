// Recording a session: each service chosen for the game is wrapped so that
// every answer it gives the game is also written to the recording.
//
// The clock is the one exception to "pass it on": the game reads a clock
// that moves only when read (each frame's measurement) and after each sleep
// and each breather, in whole microseconds, and the tick count is its last
// reading. What the game sees is then exactly what the recording holds, at a
// few bytes a frame.
#include "platform/clock_service.h"
#include "platform/input_service.h"
#include "platform/sound_service.h"
#include "platform/tape.h"
#include "platform/video_service.h"
#include "platform/tape/recording_writer.h"

#include <algorithm>
#include <limits>

namespace {

const ClockService* baseClock = nullptr;
const InputService* baseInput = nullptr;
const VideoService* baseVideo = nullptr;
const SoundService* baseSound = nullptr;
ClockService clock;
InputService input;
VideoService video;
SoundService sound;

int64_t now = 0;           // the game's clock, microseconds from the start
int64_t baseAtSample = 0;  // the base clock then, in microseconds

int64_t baseMicroseconds() { return microsecondsOf(*baseClock); }

void sample()
{
    const int64_t base = baseMicroseconds();
    const auto step = static_cast<uint32_t>(
        std::clamp<int64_t>(base - baseAtSample, 0, std::numeric_limits<uint32_t>::max()));
    baseAtSample = base;
    now += step;
    recordClock(step);
}

} // namespace

const ClockService& recordingClock(const ClockService& base)
{
    baseClock = &base;
    clock = ClockService{
        .start =
            [] {
                baseClock->start();
                now = 0;
                baseAtSample = baseMicroseconds();
            },
        .performanceCounter =
            [] {
                sample();
                return now;
            },
        .peekCounter = [] { return now; },
        .performanceFrequency = [] { return int64_t{1000000}; },
        .tickCount = [] { return static_cast<uint32_t>(now / 1000); },
        .sleep =
            [](uint32_t ms) {
                baseClock->sleep(ms);
                sample();
            },
        .yield =
            [] {
                baseClock->yield();
                sample();
            },
        .newPass = [] { baseClock->newPass(); },
    };
    return clock;
}

const InputService& recordingInput(const InputService& base)
{
    baseInput = &base;
    input = base;
    input.ended = [] {
        const bool ended = baseInput->ended();
        recordEnded(ended);
        return ended;
    };
    input.nextMessage = [](SystemMessage& message) {
        const bool taken = baseInput->nextMessage(message);
        recordWindow(taken, message);
        return taken;
    };
    input.keyboardGetState = [](uint8_t state[256]) {
        KeyboardRead read;
        read.result = baseInput->keyboardGetState(state);
        if (read.result == InputResult::Ok)
            for (int code = 0; code < 256; ++code)
                if (state[code] & 0x80)
                    read.keys.push_back(static_cast<uint8_t>(code));
        recordKeyboard(read);
        return read.result;
    };
    input.keyboardAcquire = [] {
        const InputResult result = baseInput->keyboardAcquire();
        recordAcquisition(result);
        return result;
    };
    input.padGetState = [](PadState& state) {
        const bool connected = baseInput->padGetState(state);
        recordPad(connected ? PadRead{true, state.thumbLX, state.thumbLY} : PadRead{});
        return connected;
    };
    return input;
}

const VideoService& recordingVideo(const VideoService& base)
{
    baseVideo = &base;
    video = base;
    video.resetDevice = [](bool windowed, bool texturesLost) {
        const bool done = baseVideo->resetDevice(windowed, texturesLost);
        recordReset(done);
        return done;
    };
    return video;
}

const SoundService& recordingSound(const SoundService& base)
{
    baseSound = &base;
    sound = base;
    sound.version = [] {
        const uint32_t version = baseSound->version();
        recordSoundAnswer({SoundAnswer::Kind::Version, version, 0, {}});
        return version;
    };
    sound.driverCount = [] {
        const int drivers = baseSound->driverCount();
        recordSoundAnswer({SoundAnswer::Kind::Drivers, drivers, 0, {}});
        return drivers;
    };
    sound.driverCaps = [](int driver, uint32_t* caps, int* speakerChannels) {
        baseSound->driverCaps(driver, caps, speakerChannels);
        recordSoundAnswer({SoundAnswer::Kind::Caps, *caps, *speakerChannels, {}});
    };
    sound.driverName = [](int driver) {
        const char* name = baseSound->driverName(driver);
        recordSoundAnswer({SoundAnswer::Kind::Name, name ? 1 : 0, 0, name ? name : ""});
        return name;
    };
    sound.open = [](const SoundSetup& setup, int channels) {
        const SoundResult result = baseSound->open(setup, channels);
        recordSoundAnswer({SoundAnswer::Kind::Open, result, 0, {}});
        return result;
    };
    sound.playing = [](int channel, bool* playing) {
        const bool answered = baseSound->playing(channel, playing);
        recordChannel(!answered ? '-' : *playing ? 'y' : 'n');
        return answered;
    };
    return sound;
}
