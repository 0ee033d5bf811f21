// Window messages: minimise, restore, focus, activation and close.
#include "app/window_proc.h"

#include "input/input.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "render/device.h"
#include "input/blocking_wait.h"

bool appActive = false;

namespace {

// What the system does with a message the game leaves to it: closing the
// window destroys it, which ends the game.
void defaultWindowProc(const Message& message)
{
    if (message.type == MessageType::Close) {
        windowDestroy();
        windowProc({MessageType::Destroy, 0});
    }
}

void enterGame(const Message& message)
{
    if (!videoDeviceExists()) {
        reacquireInput();
        defaultWindowProc(message);
        return;
    }
    if (videoTestCooperativeLevel() == CooperativeLevel::Ok) {
        appActive = true;
        reacquireInput();
        defaultWindowProc(message);
        return;
    }
    if (recoverDevice())
        appActive = true;
}

} // namespace

void windowProc(const Message& message)
{
    switch (message.type) {
    case MessageType::Destroy:
        appActive = false;
        setWindowClosed(true);
        postQuitMessage(0);
        return;
    case MessageType::SizeMinimized:
        appActive = false;
        break;
    case MessageType::SizeRestored:
        appActive = true;
        break;
    case MessageType::Activate:
        appActive = true;
        sleepMilliseconds(100);
        break;
    case MessageType::SetFocus:
        postMessage({MessageType::ActivateApp, 1});
        appActive = true;
        sleepMilliseconds(100);
        break;
    case MessageType::KillFocus:
        appActive = false;
        break;
    case MessageType::ActivateApp:
        if (message.param == 0) {
            appActive = false;
            sleepMilliseconds(100);
            break;
        }
        enterGame(message);
        return;
    case MessageType::Close:
    case MessageType::Quit:
        break;
    }
    defaultWindowProc(message);
}
