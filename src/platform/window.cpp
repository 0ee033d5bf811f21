// The window calls through the chosen backend, and the game's own queue of
// posted messages, which come before the window system's.
#include "platform/window.h"

#include "platform/input_service.h"
#include "platform/video.h"
#include "platform/window_service.h"

#include <csignal>
#include <cstdio>
#include <deque>

#include <fcntl.h>
#include <unistd.h>

namespace {
const WindowService* window = &kNoWindow;
std::deque<Message> posted;
}

void useWindow(const WindowService& service) { window = &service; }

namespace {

volatile sig_atomic_t exitCodeOnSignal = 0;
volatile sig_atomic_t boxThread = 0;

// The box may be a process of its own (SDL draws it in a child, or runs a
// dialog program): it goes too. Only async-signal-safe calls here.
void endOnSignal(int)
{
    char path[64] = "/proc/self/task/";
    char* at = path + 16;
    char digits[16];
    int length = 0;
    for (long tid = boxThread; tid > 0 && length < 15; tid /= 10)
        digits[length++] = static_cast<char>('0' + tid % 10);
    while (length > 0)
        *at++ = digits[--length];
    const char kChildren[] = "/children";
    for (const char* c = kChildren; *c; ++c)
        *at++ = *c;
    *at = '\0';
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char list[512];
        ssize_t size = read(fd, list, sizeof list - 1);
        close(fd);
        long child = 0;
        for (ssize_t i = 0; i < size; ++i) {
            if (list[i] >= '0' && list[i] <= '9') {
                child = child * 10 + (list[i] - '0');
            } else if (child > 0) {
                kill(static_cast<pid_t>(child), SIGKILL);
                child = 0;
            }
        }
    }
    _exit(exitCodeOnSignal);
}

} // namespace

void showMessageBox(const char* caption, const char* text, BoxIcon icon, int exitCodeIfEnded)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // The box runs its own wait, where a signal turned into a quit event
    // would never be read.
    exitCodeOnSignal = exitCodeIfEnded;
    boxThread = static_cast<sig_atomic_t>(gettid());
    struct sigaction ending {}, previous[3];
    ending.sa_handler = endOnSignal;
    sigemptyset(&ending.sa_mask);
    const int signals[3] = {SIGINT, SIGTERM, SIGHUP};
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &ending, &previous[i]);
    window->messageBox(caption, text, icon);
    for (int i = 0; i < 3; ++i)
        sigaction(signals[i], &previous[i], nullptr);
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
