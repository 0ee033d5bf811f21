// Polling the keyboard and the first controller into program-wide state.
#include "input/input.h"

#include "platform/window.h"

#include <cstring>

uint8_t keyState[256];
uint8_t previousKeyState[256];
PadState padState;

void (*screenModeSwitch)() = nullptr;

namespace {
// Acquire reports a lost device while the system takes the keyboard back;
// a few tries are plenty, and the game must never spin here for ever.
constexpr int kAcquireAttempts = 16;

// The Enter keys, and whether each is held as the Enter of an Alt+Enter.
constexpr int kEnterKeys[2] = {DIK_RETURN, DIK_NUMPADENTER};
bool enterTakenBySwitch[2] = {false, false};

void takeAltEnter()
{
    const bool alt = ((keyState[DIK_LMENU] | keyState[DIK_RMENU]) & 0x80) != 0;
    bool switchNow = false;
    for (int i = 0; i < 2; ++i) {
        const int code = kEnterKeys[i];
        const bool down = (keyState[code] & 0x80) != 0;
        if (!down)
            enterTakenBySwitch[i] = false;
        else if (alt && !enterTakenBySwitch[i] && previousKeyState[code] == 0)
            switchNow = enterTakenBySwitch[i] = true;
    }
    // The switch reads the keyboard again (reacquireInput), so the Enter is
    // hidden after it.
    if (switchNow && screenModeSwitch)
        screenModeSwitch();
    for (int i = 0; i < 2; ++i)
        if (enterTakenBySwitch[i])
            keyState[kEnterKeys[i]] = 0;
}
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
    takeAltEnter();
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
