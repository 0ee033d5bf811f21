// Keyboard and pad on SDL. Key and controller events are caught by an event
// watch as SDL queues them, so a key that goes down and up between two polls
// is latched and still reads as down in the next poll.
#include "platform/input_service.h"
#include "platform/sdl/sdl_internal.h"

#include <cstdio>
#include <cstring>

namespace {

uint8_t dikForScancode[SDL_NUM_SCANCODES];
bool held[256];
bool latched[256];
bool acquired = false;
bool focused = false;   // the window has the keyboard focus, as its events last said
SDL_GameController* pad = nullptr;
SDL_JoystickID padId = -1;

void openFirstPad()
{
    for (int i = 0; i < SDL_NumJoysticks() && !pad; ++i) {
        if (!SDL_IsGameController(i))
            continue;
        pad = SDL_GameControllerOpen(i);
        if (pad)
            padId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    }
}

void closePad()
{
    if (pad)
        SDL_GameControllerClose(pad);
    pad = nullptr;
    padId = -1;
}

void keyEvent(const SDL_KeyboardEvent& key, bool down)
{
    if (key.repeat)
        return;
    uint8_t code = dikForScancode[key.keysym.scancode];
    if (code == 0)
        return;
    held[code] = down;
    if (down)
        latched[code] = true;
}

int16_t xinputAxis(Sint16 value) { return value; }
int16_t xinputAxisUp(Sint16 value) { return value == -32768 ? 32767 : static_cast<int16_t>(-value); }
uint8_t xinputTrigger(Sint16 value) { return static_cast<uint8_t>(value <= 0 ? 0 : value * 255 / 32767); }

int eventWatch(void*, SDL_Event* event)
{
    switch (event->type) {
    case SDL_KEYDOWN: keyEvent(event->key, true); break;
    case SDL_KEYUP: keyEvent(event->key, false); break;
    case SDL_WINDOWEVENT:
        // Leaving the window loses the keyboard until the game re-acquires it.
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            focused = true;
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            focused = false;
            acquired = false;
            std::memset(held, 0, sizeof held);
            std::memset(latched, 0, sizeof latched);
        }
        break;
    case SDL_CONTROLLERDEVICEADDED:
        if (!pad)
            openFirstPad();
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (event->cdevice.which == padId) {
            closePad();
            openFirstPad();
        }
        break;
    default: break;
    }
    return 1;
}

bool keyboardStart()
{
    std::memset(dikForScancode, 0, sizeof dikForScancode);
    for (int i = 0; i < kScancodeKeyCount; ++i)
        dikForScancode[kScancodeKeys[i].scancode] = static_cast<uint8_t>(kScancodeKeys[i].code);
    std::memset(held, 0, sizeof held);
    std::memset(latched, 0, sizeof latched);
    focused = sdlWindow() && SDL_GetKeyboardFocus() == sdlWindow();
    SDL_AddEventWatch(eventWatch, nullptr);
    openFirstPad();
    return true;
}

void keyboardStop()
{
    SDL_DelEventWatch(eventWatch, nullptr);
    closePad();
}

void pump()
{
    SDL_PumpEvents();
    // Keys and pads were taken by the watch; don't let their events pile up
    // while no window messages are being read.
    SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);
    SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
}

InputResult getState(uint8_t state[256])
{
    std::memset(state, 0, 256);
    if (!sdlWindow() || !focused) {
        acquired = false;
        return InputResult::InputLost;
    }
    if (!acquired)
        return InputResult::NotAcquired;
    for (int code = 0; code < 256; ++code) {
        if (held[code] || latched[code])
            state[code] = 0x80;
        latched[code] = false;
    }
    return InputResult::Ok;
}

InputResult acquire()
{
    if (!sdlWindow() || !focused)
        return InputResult::NotAcquired;
    if (!acquired) {
        // Start from the keys as they are now; nothing from before counts.
        std::memset(latched, 0, sizeof latched);
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        for (int i = 0; i < kScancodeKeyCount; ++i)
            held[kScancodeKeys[i].code] = keys[kScancodeKeys[i].scancode] != 0;
        acquired = true;
    }
    return InputResult::Ok;
}

bool padState(PadState& state)
{
    if (!pad)
        return false;
    state.thumbLX = xinputAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    state.thumbLY = xinputAxisUp(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    state.thumbRX = xinputAxis(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX));
    state.thumbRY = xinputAxisUp(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    state.leftTrigger = xinputTrigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    state.rightTrigger = xinputTrigger(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    // XInput's button bits, for completeness; the game reads none of them.
    struct Bit { SDL_GameControllerButton button; uint16_t bit; };
    static constexpr Bit kBits[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
        {SDL_CONTROLLER_BUTTON_START, 0x0010}, {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040}, {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
        {SDL_CONTROLLER_BUTTON_A, 0x1000}, {SDL_CONTROLLER_BUTTON_B, 0x2000},
        {SDL_CONTROLLER_BUTTON_X, 0x4000}, {SDL_CONTROLLER_BUTTON_Y, 0x8000},
    };
    for (const Bit& bit : kBits)
        if (SDL_GameControllerGetButton(pad, bit.button))
            state.buttons |= bit.bit;
    return true;
}

bool start(const PlatformConfig&)
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "kestrelon: SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

} // namespace

const InputService kSdlInput = {
    .start = start,
    .stop = [] { SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER); },
    .keyboardStart = keyboardStart,
    .keyboardStop = keyboardStop,
    .beginPoll = pump,
    .idlePass = [] {},
    .ended = [] { return false; },
    .nextMessage = sdlNextWindowMessage,
    .keyboardGetState = getState,
    .keyboardAcquire = acquire,
    .keyboardUnacquire = [] { acquired = false; },
    .padGetState = padState,
};
