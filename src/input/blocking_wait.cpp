// The waits of the blocking screens.
#include "input/blocking_wait.h"

#include "input/input.h"
#include "platform/clock.h"
#include "platform/input.h"

void (*blockingMessageHandler)(const Message& message) = nullptr;

namespace {
bool closed = false;
}

bool windowClosed() { return closed; }
void setWindowClosed(bool value) { closed = value; }

bool keepWindowAlive()
{
    if (closed)
        return false;
    Message message;
    if (peekMessage(message)) {
        if (message.type == MessageType::Quit) {
            // Not ours to take: the message loop ends on it.
            postMessage(message);
            closed = true;
            return false;
        }
        if (blockingMessageHandler)
            blockingMessageHandler(message);
    }
    if (inputEnded())
        closed = true;
    return !closed;
}

bool waitForKeyPress(int code)
{
    for (;;) {
        pollInput();
        if (keyPressed(code))
            return true;
        if (!keepWindowAlive())
            return false;
        yieldProcessor();
    }
}
