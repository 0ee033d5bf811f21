// The backends behind the seam. Each service is a table of functions; each
// backend fills one table (platform/sdl/ the real ones, platform/headless/
// the stand-ins), and platformStart picks one table per service, once. The
// seam's own functions (clock.h, input.h, ...) call through the chosen
// table, so nothing asks at each call which backend is in use. Only the
// backends and the seam include this header; the game never does.
#pragma once
#include "platform/image.h"
#include "platform/input.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "platform/window.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ClockService {
    void (*start)();
    int64_t (*performanceCounter)();
    int64_t (*peekCounter)();   // the counter without moving a sampled clock
    int64_t (*performanceFrequency)();
    uint32_t (*tickCount)();
    void (*sleep)(uint32_t ms);
    void (*yield)();
    void (*newPass)();   // the message loop starts a pass
};

// A message of the window system, and what the device lost with it (a
// renderer's targets or all it had), which the seam notes as it hands the
// message on.
struct SystemMessage {
    enum class Lost { Nothing, RenderTargets, WholeDevice };
    Message message;
    Lost lost = Lost::Nothing;
};

// A clock's counter in whole microseconds (without overflowing on a
// nanosecond counter of a machine up for years).
inline int64_t microsecondsOf(const ClockService& clock)
{
    const int64_t counter = clock.performanceCounter();
    const int64_t frequency = clock.performanceFrequency();
    return counter / frequency * 1000000 + counter % frequency * 1000000 / frequency;
}

struct InputService {
    bool (*start)(const PlatformConfig& config);   // at platform start
    void (*stop)();
    bool (*keyboardStart)();                       // the game's input start-up
    void (*keyboardStop)();
    void (*beginPoll)();
    void (*idlePass)();
    bool (*ended)();
    // The next message from the window system, if any (posted ones come first
    // and are the seam's own).
    bool (*nextMessage)(SystemMessage& message);
    InputResult (*keyboardGetState)(uint8_t state[256]);
    InputResult (*keyboardAcquire)();
    void (*keyboardUnacquire)();
    bool (*padGetState)(PadState& state);
};

struct WindowService {
    bool (*start)(const PlatformConfig& config);
    void (*stop)();
    bool (*create)(const char* title, int width, int height);
    void (*show)();
    void (*hideCursor)();
    void (*destroy)();
    void (*messageBox)(const char* caption, const char* text, BoxIcon icon);   // stderr is the seam's
};

// The records behind the video handles. The seam keeps what every backend
// needs; `native` is the backend's own object.
struct PlatformTexture {
    std::string name;     // file name without folder or extension
    std::string path;     // decoded again when the device lost its copy
    uint32_t colourKey = 0;
    void* native = nullptr;
};

struct PlatformSurface {
    int width = 0;
    int height = 0;
    bool backBuffer = false;   // the device's own back buffer
    bool target = false;       // can be drawn into
    void* native = nullptr;
};

struct PlatformFont {
    std::string face;
    int height = 0;
    void* native = nullptr;
};

struct VideoService {
    bool (*start)(const PlatformConfig& config);
    void (*stop)();
    bool (*createDevice)(bool windowed);
    // Applies the window mode and re-makes what the device lost; with
    // `texturesLost` every texture's own copy on the device too.
    bool (*resetDevice)(bool windowed, bool texturesLost);
    void (*releaseDevice)();
    void (*clear)(uint32_t argb);
    void (*present)();
    // The screen as the player sees it, as the bytes of a Windows bitmap.
    bool (*screenshot)(bool windowed, std::string& bmp);
    bool (*readBackBuffer)(std::vector<uint32_t>& argb);
    bool (*drawsIntoWindow)();
    const char* (*rendererName)();
    bool (*makeTarget)(PlatformSurface* surface);
    // Decodes the picture straight into the surface or texture made for it
    // (a surface: opaque, keyed texels black), and sets the surface's size.
    bool (*loadSurface)(PlatformSurface* surface, const std::string& path, uint32_t colourKey, std::string& error);
    void (*releaseSurface)(PlatformSurface* surface);
    bool (*copySurface)(PlatformSurface* source, const PixelRect& sourceRect, PlatformSurface* destination,
                        const PixelRect& destinationRect);
    void (*beginBatch)();
    void (*spriteDraw)(PlatformTexture* texture, const PixelRect& source, float x, float y, uint32_t colour,
                       const SpriteTransform& transform);
    void (*spritePrepare)(PlatformTexture* texture, const PixelRect& source, const SpriteTransform& transform);
    bool (*loadTexture)(PlatformTexture* texture, std::string& error);
    void (*releaseTexture)(PlatformTexture* texture);
    bool (*openFont)(PlatformFont* font);
    void (*releaseFont)(PlatformFont* font);
    void (*fontLost)(PlatformFont* font);
    void (*fontDrawText)(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text);
};

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

struct CallLogService {
    void (*sleep)(uint32_t ms);
    void (*soundStart)(const void* sound);
    void (*soundVolume)(float volume);
    void (*screen)(const char* name);
    void (*present)();
    void (*spriteDraw)(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                       float rotation, float scale);
    void (*textDraw)(const void* font, int x, int y, uint32_t colour, std::string_view text);
    void (*mapDraw)(int h, int v);
    void (*rawDraw)(const void* texture, int x, int y);
};

// The tables, one per backend.
extern const ClockService kSdlClock;            // sdl/clock_sdl.cpp
extern const ClockService kVirtualClock;        // headless/clock_virtual.cpp
extern const InputService kSdlInput;            // sdl/input_sdl.cpp
extern const InputService kScriptInput;         // headless/input_script.cpp
extern const WindowService kSdlWindow;          // sdl/window_sdl.cpp (a real or an offscreen window)
extern const WindowService kNoWindow;           // headless/window_none.cpp
extern const VideoService kSdlVideo;            // sdl/video_sdl.cpp
extern const VideoService kNoVideo;             // headless/video_none.cpp
extern const SoundService kSdlSound;            // sdl/sound_sdl.cpp
extern const SoundService kSilentSound;         // headless/sound_silent.cpp
extern const CallLogService kKeepingCallLog;  // headless/call_log_kept.cpp
extern const CallLogService kNoCallLog;       // call_log.cpp

// The tape (platform/tape/): the chosen backends wrapped to write every
// answer to the recording, or stand-ins that give the recording's answers.
// Playing back, the clock keeps pace with `paceBy` (null: as fast as it
// can), and `viewer` is the window system the viewer may close (null: none).
const ClockService& recordingClock(const ClockService& base);
const InputService& recordingInput(const InputService& base);
const VideoService& recordingVideo(const VideoService& base);
const SoundService& recordingSound(const SoundService& base);
const ClockService& playbackClock(const ClockService* paceBy);
const InputService& playbackInput(const InputService* viewer);
const VideoService& playbackVideo(const VideoService& base);
const SoundService& playbackSound(const SoundService& base);

// The SDL library itself (sdl/library_sdl.cpp): its hints and its event
// loop, started before any service and stopped after all of them. The file
// decoders use it whatever the backends are.
bool sdlLibraryStart(const PlatformConfig& config);
void sdlLibraryStop();

// The next message of the window system, from the chosen input (window.cpp
// takes it after the posted ones).
bool nextWindowSystemMessage(SystemMessage& message);

// Set by platformStart.
void useClock(const ClockService& service);
void useInput(const InputService& service);
void useWindow(const WindowService& service);
void useVideo(const VideoService& service);
void useSound(const SoundService& service);
void useCallLog(const CallLogService& service);
