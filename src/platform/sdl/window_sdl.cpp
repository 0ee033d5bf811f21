// The window on SDL (on the real display or SDL's offscreen driver), and the
// window system's events turned into the window procedure's messages.
#include "platform/input_service.h"
#include "platform/window_service.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/system.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

SDL_Window* window = nullptr;
bool destroyed = false;
bool onDisplay = false;   // a real window, not the offscreen driver's

bool set(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Without a display SDL falls back to a driver that draws nowhere; a game
// that plays to nobody is no use. A driver asked for by name is honoured.
bool fellBackToNoDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

void sayNoDisplay() { std::fprintf(stderr, "kestrelon: no display found: %s\n", noDisplayAdvice()); }

bool start(const PlatformConfig& config)
{
    onDisplay = config.video == VideoBackend::Window;
    if (config.video == VideoBackend::Offscreen) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, config.vsync && onDisplay ? "1" : "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    const bool choosing = onDisplay && !set("SDL_VIDEODRIVER");
    const char* drivers = choosing ? displayDriversToTry() : nullptr;
    if (drivers)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (choosing)
            sayNoDisplay();
        else
            std::fprintf(stderr, "kestrelon: SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    if (choosing && fellBackToNoDisplay()) {
        sayNoDisplay();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void stop()
{
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool create(const char* title, int width, int height)
{
    destroyed = false;
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (sdlConfig().startFullScreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (!window)
        std::fprintf(stderr, "kestrelon: no window: %s\n", SDL_GetError());
    return window != nullptr;
}

void show()
{
    if (window) {
        SDL_ShowWindow(window);
        SDL_RaiseWindow(window);
    }
}

void hideCursor()
{
    if (window)
        SDL_ShowCursor(SDL_DISABLE);
}

void destroy()
{
    destroyed = true;
    if (window)
        SDL_HideWindow(window);
}

void messageBox(const char* caption, const char* text, BoxIcon icon)
{
    if (onDisplay)
        SDL_ShowSimpleMessageBox(icon == BoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_WARNING, caption, text,
                                 nullptr);
}

// Window events become the window procedure's messages; everything else that
// reached the queue is dropped here (keys and pads were taken by the watch).
bool translate(const SDL_Event& event, SystemMessage& system)
{
    Message& message = system.message;
    switch (event.type) {
    case SDL_QUIT:
        message = {MessageType::Close, 0};
        return !destroyed;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        // Lost render targets: let the window procedure run the device recovery.
        system.lost = event.type == SDL_RENDER_DEVICE_RESET ? SystemMessage::Lost::WholeDevice
                                                            : SystemMessage::Lost::RenderTargets;
        message = {MessageType::ActivateApp, 1};
        return true;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: message = {MessageType::Close, 0}; return !destroyed;
        case SDL_WINDOWEVENT_MINIMIZED: message = {MessageType::SizeMinimized, 0}; return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            sdlShowLastFrame();
            message = {MessageType::SizeRestored, 0};
            return true;
        case SDL_WINDOWEVENT_EXPOSED: sdlShowLastFrame(); return false;
        case SDL_WINDOWEVENT_FOCUS_GAINED: message = {MessageType::SetFocus, 0}; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: message = {MessageType::KillFocus, 0}; return true;
        default: return false;
        }
    default:
        return false;
    }
}

} // namespace

SDL_Window* sdlWindow() { return window; }

bool sdlNextWindowMessage(SystemMessage& message)
{
    // Asked from outside to end (a signal): as if the window were closed.
    if (takeEndRequest()) {
        message = SystemMessage{{MessageType::Close, 0}};
        if (!destroyed)
            return true;
    }
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        message = SystemMessage{};
        if (translate(event, message))
            return true;
    }
    return false;
}

const WindowService kSdlWindow = {
    .start = start,
    .stop = stop,
    .create = create,
    .show = show,
    .hideCursor = hideCursor,
    .destroy = destroy,
    .messageBox = messageBox,
};
