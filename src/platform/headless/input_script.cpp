// Input read from a replay script: each poll takes the next line's keys and
// stick, and the line's window and device events happen as it is read.
#include "platform/input_service.h"
#include "platform/script.h"
#include "platform/video.h"

#include <cstring>

namespace {

constexpr size_t kNoStep = static_cast<size_t>(-1);

struct Script {
    std::vector<ScriptStep> steps;
    size_t step = 0;
    int64_t repeatsLeft = 0;
    size_t current = kNoStep;   // index of the step being polled (steps may be appended)
    bool focus = true;
    bool acquired = true;
};

Script script;

void deliver(const ScriptStep& step)
{
    for (ScriptEvent event : step.events) {
        switch (event) {
        case ScriptEvent::Close:
            postMessage({MessageType::Close, 0});
            break;
        case ScriptEvent::FocusLost:
            script.focus = false;
            script.acquired = false;
            postMessage({MessageType::KillFocus, 0});
            break;
        case ScriptEvent::FocusGained:
            script.focus = true;
            postMessage({MessageType::SetFocus, 0});
            break;
        case ScriptEvent::Minimize:
            script.focus = false;
            script.acquired = false;
            postMessage({MessageType::SizeMinimized, 0});
            postMessage({MessageType::KillFocus, 0});
            break;
        case ScriptEvent::Restore:
            script.focus = true;
            postMessage({MessageType::SizeRestored, 0});
            postMessage({MessageType::SetFocus, 0});
            break;
        case ScriptEvent::DeviceLost:
            simulateDeviceLoss(step.deviceLostTests);
            break;
        case ScriptEvent::DriverError:
            simulateDriverError();
            break;
        case ScriptEvent::TargetsReset:
            videoNoteContentLost(false);
            postMessage({MessageType::ActivateApp, 1});
            break;
        }
    }
}

void advanceScript()
{
    if (script.repeatsLeft == 0) {
        if (script.step >= script.steps.size()) {
            script.current = kNoStep;
            return;
        }
        script.current = script.step++;
        script.repeatsLeft = script.steps[script.current].repeat;
    }
    --script.repeatsLeft;
    deliver(script.steps[script.current]);
}

void idlePass()
{
    if (inputScriptExhausted()) {
        postMessage({MessageType::Close, 0});
        return;
    }
    advanceScript();
}

InputResult getState(uint8_t state[256])
{
    if (!script.focus || !script.acquired)
        return script.focus ? InputResult::NotAcquired : InputResult::InputLost;
    std::memset(state, 0, 256);
    if (script.current != kNoStep)
        for (uint8_t code : script.steps[script.current].keysDown)
            state[code] = 0x80;
    return InputResult::Ok;
}

InputResult acquire()
{
    if (!script.focus)
        return InputResult::NotAcquired;
    script.acquired = true;
    return InputResult::Ok;
}

bool padState(PadState& state)
{
    if (script.current == kNoStep || !script.steps[script.current].padSet)
        return false;
    state.thumbLX = script.steps[script.current].padX;
    state.thumbLY = script.steps[script.current].padY;
    return true;
}

} // namespace

void loadInputScript(std::vector<ScriptStep> steps)
{
    script = Script{};
    script.steps = std::move(steps);
}

void appendInputScriptStep(ScriptStep step) { script.steps.push_back(std::move(step)); }

bool inputScriptExhausted() { return script.repeatsLeft == 0 && script.step >= script.steps.size(); }

const InputService kScriptInput = {
    .start = [](const PlatformConfig&) { return true; },
    .stop = [] {},
    .keyboardStart = [] { return true; },
    .keyboardStop = [] {},
    .beginPoll = advanceScript,
    .idlePass = idlePass,
    .ended = inputScriptExhausted,
    // The script's window events are posted as its lines are read.
    .nextMessage = [](SystemMessage&) { return false; },
    .keyboardGetState = getState,
    .keyboardAcquire = acquire,
    .keyboardUnacquire = [] { script.acquired = false; },
    .padGetState = padState,
};
