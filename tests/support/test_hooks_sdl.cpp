// The tests' hooks into SDL and the SDL backend (see test_hooks.h).
#include "support/test_hooks.h"

#include "platform/sdl/sdl_internal.h"

void injectKeyEventForTest(int scancode, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    SDL_PushEvent(&event);
}

void injectFocusEventForTest(bool gained)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    event.window.windowID = sdlWindow() ? SDL_GetWindowID(sdlWindow()) : 0;
    SDL_PushEvent(&event);
}

namespace {
int virtualPadIndex = -1;
SDL_Joystick* virtualPad = nullptr;
}

bool plugVirtualPadForTest()
{
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Test pad";
    virtualPadIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (virtualPadIndex < 0)
        return false;
    virtualPad = SDL_JoystickOpen(virtualPadIndex);
    SDL_PumpEvents();
    return virtualPad != nullptr;
}

void moveVirtualPadForTest(int16_t leftX, int16_t leftY)
{
    SDL_JoystickSetVirtualAxis(virtualPad, SDL_CONTROLLER_AXIS_LEFTX, leftX);
    SDL_JoystickSetVirtualAxis(virtualPad, SDL_CONTROLLER_AXIS_LEFTY, leftY);
}

void unplugVirtualPadForTest()
{
    if (virtualPad)
        SDL_JoystickClose(virtualPad);
    virtualPad = nullptr;
    SDL_JoystickDetachVirtual(virtualPadIndex);
    virtualPadIndex = -1;
    SDL_PumpEvents();
}

void windowResizeForTest(int width, int height)
{
    if (sdlWindow())
        SDL_SetWindowSize(sdlWindow(), width, height);
}

int keyCodeForScancode(int scancode)
{
    for (int i = 0; i < kScancodeKeyCount; ++i)
        if (kScancodeKeys[i].scancode == scancode)
            return kScancodeKeys[i].code;
    return 0;
}
