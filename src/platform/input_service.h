// The input service: keyboard, controller and the window system's messages,
// a table per backend (SDL's, or a replay script's), chosen once.
// Only the backends and the seam include it; the game never does.
#pragma once
#include "platform/input.h"
#include "platform/platform.h"
#include "platform/window.h"

#include <cstdint>

// A message of the window system, and what the device lost with it (a
// renderer's targets or all it had), which the seam notes as it hands the
// message on.
struct SystemMessage {
    enum class Lost { Nothing, RenderTargets, WholeDevice };
    Message message;
    Lost lost = Lost::Nothing;
};

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

extern const InputService kSdlInput;      // sdl/input_sdl.cpp
extern const InputService kScriptInput;   // headless/input_script.cpp
void useInput(const InputService& service);

// The next message of the window system, from the chosen input (window.cpp
// takes it after the posted ones).
bool nextWindowSystemMessage(SystemMessage& message);
