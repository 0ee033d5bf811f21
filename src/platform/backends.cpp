// Picking each service's backend, once, and starting and stopping them.
#include "platform/call_log_service.h"
#include "platform/clock_service.h"
#include "platform/input_service.h"
#include "platform/sdl_library.h"
#include "platform/sound_service.h"
#include "platform/tape.h"
#include "platform/video_service.h"
#include "platform/window_service.h"

#include <cstdio>

namespace {
const InputService* startedInput = nullptr;
const WindowService* startedWindow = nullptr;
const VideoService* startedVideo = nullptr;
}

bool platformStart(const PlatformConfig& config)
{
    const ClockService* clockChosen = config.clock == ClockBackend::Real ? &kSdlClock : &kVirtualClock;
    const InputService* inputChosen = config.input == InputBackend::Sdl ? &kSdlInput : &kScriptInput;
    const bool windowed = config.video != VideoBackend::None;
    const WindowService& window = windowed ? kSdlWindow : kNoWindow;
    const VideoService* videoChosen = windowed ? &kSdlVideo : &kNoVideo;
    const SoundService* soundChosen = config.audio == AudioBackend::Sdl ? mixerSound() : &kSilentSound;
    if (!soundChosen) {
        std::fprintf(stderr, "kestrelon: this program is built without sound\n");
        return false;
    }
    if (config.tape == Tape::Record) {
        clockChosen = &recordingClock(*clockChosen);
        inputChosen = &recordingInput(*inputChosen);
        videoChosen = &recordingVideo(*videoChosen);
        soundChosen = &recordingSound(*soundChosen);
    } else if (config.tape == Tape::Play) {
        // Watching in a window keeps pace with real time; a check runs flat out.
        clockChosen = &playbackClock(config.clock == ClockBackend::Real ? clockChosen : nullptr);
        inputChosen = &playbackInput(config.input == InputBackend::Sdl ? inputChosen : nullptr);
        videoChosen = &playbackVideo(*videoChosen);
        soundChosen = &playbackSound(*soundChosen);
    }
    const ClockService& clock = *clockChosen;
    const InputService& input = *inputChosen;
    const VideoService& video = *videoChosen;
    useClock(clock);
    useInput(input);
    useWindow(window);
    useVideo(video);
    useSound(*soundChosen);
    useCallLog(config.logCalls ? kKeepingCallLog : kNoCallLog);

    // SDL first: the services' own parts of it need its hints set and its
    // events running; the file decoders use it whatever the backends are.
    if (!sdlLibraryStart(config))
        return false;
    clock.start();
    if (!input.start(config))
        return false;
    startedInput = &input;
    if (!window.start(config))
        return false;
    startedWindow = &window;
    if (!video.start(config))
        return false;
    startedVideo = &video;
    return true;
}

void platformStop()
{
    if (startedVideo)
        startedVideo->stop();
    if (startedWindow)
        startedWindow->stop();
    if (startedInput)
        startedInput->stop();
    startedVideo = nullptr;
    startedWindow = nullptr;
    startedInput = nullptr;
    useCallLog(kNoCallLog);
    clearPostedMessages();
    sdlLibraryStop();
}
