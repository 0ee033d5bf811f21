// The window calls through the chosen backend, and the game's own queue of
// posted messages, which come before the window system's.
#include "platform/window.h"

#include "platform/input_service.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/window_service.h"

#include <cstdio>
#include <deque>

namespace {
const WindowService* window = &kNoWindow;
std::deque<Message> posted;
}

void useWindow(const WindowService& service) { window = &service; }

void showMessageBox(const char* caption, const char* text, BoxIcon icon, int exitCodeIfEnded)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // The box runs its own wait, where a request to end turned into a close
    // of the window would never be read.
    endAtOnceOnRequest(true, exitCodeIfEnded);
    window->messageBox(caption, text, icon);
    endAtOnceOnRequest(false, exitCodeIfEnded);
}

bool windowCreate(const char* title, int width, int height) { return window->create(title, width, height); }
void windowShow() { window->show(); }
void windowHideCursor() { window->hideCursor(); }
void windowDestroy() { window->destroy(); }

bool peekMessage(Message& message)
{
    if (!posted.empty()) {
        message = posted.front();
        posted.pop_front();
        return true;
    }
    SystemMessage fromSystem;
    if (!nextWindowSystemMessage(fromSystem))
        return false;
    if (fromSystem.lost != SystemMessage::Lost::Nothing)
        videoNoteContentLost(fromSystem.lost == SystemMessage::Lost::WholeDevice);
    message = fromSystem.message;
    return true;
}

void postMessage(const Message& message) { posted.push_back(message); }
void postQuitMessage(int exitCode) { posted.push_back({MessageType::Quit, exitCode}); }
void clearPostedMessages() { posted.clear(); }
