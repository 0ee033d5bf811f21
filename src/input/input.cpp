// Polling the keyboard and the first controller into program-wide state.
#include "input/input.h"

#include "platform/window.h"

#include <cstring>

uint8_t keyState[256];
uint8_t previousKeyState[256];
PadState padState;

namespace {
// Acquire reports a lost device while the system takes the keyboard back;
// a few tries are plenty, and the game must never spin here for ever.
constexpr int kAcquireAttempts = 16;
}

bool initInput()
{
    if (!inputStart())
        return false;
    keyboardAcquire();   // a failure is made good on the next activation
    windowHideCursor();
    return true;
}

void shutdownInput()
{
    keyboardUnacquire();
    inputStop();
}

void pollInput()
{
    std::memcpy(previousKeyState, keyState, sizeof keyState);
    std::memset(keyState, 0, sizeof keyState);
    inputBeginPoll();
    if (keyboardGetState(keyState) != InputResult::Ok)
        std::memset(keyState, 0, sizeof keyState);
    padState = PadState{};
    PadState read;
    if (padGetState(read))
        padState = read;
}

bool keyPressed(int code)
{
    if (code < 0 || code > 255)
        return false;
    return previousKeyState[code] == 0 && (keyState[code] & 0x80) != 0;
}

bool reacquireInput()
{
    if (keyboardGetState(keyState) != InputResult::Ok) {
        InputResult result = keyboardAcquire();
        for (int attempt = 1; result == InputResult::InputLost && attempt < kAcquireAttempts; ++attempt)
            result = keyboardAcquire();
        if (keyboardGetState(keyState) != InputResult::Ok)
            std::memset(keyState, 0, sizeof keyState);
    }
    return true;
}
