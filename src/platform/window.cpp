// The window calls through the chosen backend, and the game's own queue of
// posted messages, which come before the window system's.
#include "platform/window.h"

#include "platform/backends.h"

#include <cstdio>
#include <deque>

namespace {
const WindowService* window = &kNoWindow;
std::deque<Message> posted;
}

void useWindow(const WindowService& service) { window = &service; }

void showMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    window->messageBox(caption, text);
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
    return nextWindowSystemMessage(message);
}

void postMessage(const Message& message) { posted.push_back(message); }
void postQuitMessage(int exitCode) { posted.push_back({MessageType::Quit, exitCode}); }
void clearPostedMessages() { posted.clear(); }
