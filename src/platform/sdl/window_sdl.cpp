// The window on SDL, the message queue, and the single-instance guard.
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/window.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

SDL_Window* window = nullptr;
bool destroyed = false;
std::deque<Message> posted;

bool windowEvents() { return platformConfig.input == InputBackend::Sdl && platformConfig.video == VideoBackend::Window; }

// Window events become the window procedure's messages; everything else that
// reached the queue is dropped here (keys and pads were taken by the watch).
bool translate(const SDL_Event& event, Message& message)
{
    switch (event.type) {
    case SDL_QUIT:
        message = {MessageType::Close, 0};
        return windowEvents() && !destroyed;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        // Lost render targets: let the window procedure run the device recovery.
        sdlNoteRenderReset(event.type == SDL_RENDER_DEVICE_RESET);
        message = {MessageType::ActivateApp, 1};
        return true;
    case SDL_WINDOWEVENT:
        if (!windowEvents())
            return false;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: message = {MessageType::Close, 0}; return !destroyed;
        case SDL_WINDOWEVENT_MINIMIZED: message = {MessageType::SizeMinimized, 0}; return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: message = {MessageType::SizeRestored, 0}; return true;
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

void sdlReleaseWindow()
{
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
    posted.clear();
}

bool acquireSingleInstanceGuard(const char* name)
{
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    std::string path = folder && *folder ? std::string(folder) : std::string("/tmp");
    path += "/";
    path += name;
    path += '-';
    path += std::to_string(getuid());
    path += ".lock";
    // Kept open for the life of the process: closing it would drop the lock.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;   // no place for a lock: run rather than refuse
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return errno != EWOULDBLOCK;
    }
    return true;
}

void showMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (platformConfig.video == VideoBackend::Window)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

bool windowCreate(const char* title, int width, int height)
{
    destroyed = false;
    if (platformConfig.video == VideoBackend::None)
        return true;
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                              SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window)
        std::fprintf(stderr, "kestrelon: no window: %s\n", SDL_GetError());
    return window != nullptr;
}

void windowShow()
{
    if (window) {
        SDL_ShowWindow(window);
        SDL_RaiseWindow(window);
    }
}

void windowHideCursor()
{
    if (window)
        SDL_ShowCursor(SDL_DISABLE);
}

void windowResizeForTest(int width, int height)
{
    if (window)
        SDL_SetWindowSize(window, width, height);
}

void windowDestroy()
{
    destroyed = true;
    if (window)
        SDL_HideWindow(window);
}

bool peekMessage(Message& message)
{
    if (!posted.empty()) {
        message = posted.front();
        posted.pop_front();
        return true;
    }
    if (platformConfig.video == VideoBackend::None && platformConfig.input == InputBackend::Script)
        return false;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (translate(event, message))
            return true;
    }
    return false;
}

void postMessage(const Message& message) { posted.push_back(message); }

void postQuitMessage(int exitCode) { posted.push_back({MessageType::Quit, exitCode}); }

void clearPostedMessages() { posted.clear(); }
