// Picking each service's backend, once, and starting and stopping them.
#include "platform/backends.h"

namespace {
const InputService* startedInput = nullptr;
const WindowService* startedWindow = nullptr;
const VideoService* startedVideo = nullptr;
}

bool platformStart(const PlatformConfig& config)
{
    const ClockService& clock = config.clock == ClockBackend::Real ? kSdlClock : kVirtualClock;
    const InputService& input = config.input == InputBackend::Sdl ? kSdlInput : kScriptInput;
    const bool windowed = config.video != VideoBackend::None;
    const WindowService& window = windowed ? kSdlWindow : kNoWindow;
    const VideoService& video = windowed ? kSdlVideo : kNoVideo;
    useClock(clock);
    useInput(input);
    useWindow(window);
    useVideo(video);
    useSound(config.audio == AudioBackend::Sdl ? kSdlSound : kSilentSound);
    useRecorder(config.record ? kKeepingRecorder : kNoRecorder);

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
    useRecorder(kNoRecorder);
    clearPostedMessages();
    sdlLibraryStop();
}
