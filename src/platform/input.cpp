// Keyboard and pad: the scripted backend, and the dispatch to SDL's.
#include "platform/input.h"

#include "platform/keys.h"
#include "platform/platform.h"
#include "platform/script.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/video.h"
#include "platform/window.h"

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

bool scripted() { return platformConfig.input == InputBackend::Script; }

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
            headlessDeviceLose(step.deviceLostTests);
            break;
        case ScriptEvent::DriverError:
            headlessDeviceDriverError();
            break;
        case ScriptEvent::TargetsReset:
            sdlNoteRenderReset(false);
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

} // namespace

void loadInputScript(std::vector<ScriptStep> steps)
{
    script = Script{};
    script.steps = std::move(steps);
}

bool inputScriptEnded() { return scripted() && inputScriptExhausted(); }

void appendInputScriptStep(ScriptStep step) { script.steps.push_back(std::move(step)); }

bool inputScriptExhausted() { return script.repeatsLeft == 0 && script.step >= script.steps.size(); }

bool inputStart()
{
    if (scripted())
        return true;
    return sdlKeyboardStart();
}

void inputStop()
{
    if (!scripted())
        sdlKeyboardStop();
}

void inputBeginPoll()
{
    if (scripted())
        advanceScript();
    else
        sdlInputPump();
}

void inputIdlePass()
{
    if (!scripted())
        return;
    if (inputScriptExhausted()) {
        postMessage({MessageType::Close, 0});
        return;
    }
    advanceScript();
}

InputResult keyboardGetState(uint8_t state[256])
{
    if (!scripted())
        return sdlKeyboardGetState(state);
    if (!script.focus || !script.acquired)
        return script.focus ? InputResult::NotAcquired : InputResult::InputLost;
    std::memset(state, 0, 256);
    if (script.current != kNoStep)
        for (uint8_t code : script.steps[script.current].keysDown)
            state[code] = 0x80;
    return InputResult::Ok;
}

InputResult keyboardAcquire()
{
    if (!scripted())
        return sdlKeyboardAcquire();
    if (!script.focus)
        return InputResult::NotAcquired;
    script.acquired = true;
    return InputResult::Ok;
}

void keyboardUnacquire()
{
    if (scripted())
        script.acquired = false;
    else
        sdlKeyboardUnacquire();
}

bool padGetState(PadState& state)
{
    state = PadState{};
    if (!scripted())
        return sdlPadGetState(state);
    if (script.current == kNoStep || !script.steps[script.current].padSet)
        return false;
    state.thumbLX = script.steps[script.current].padX;
    state.thumbLY = script.steps[script.current].padY;
    return true;
}
