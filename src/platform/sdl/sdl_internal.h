// Shared by the platform files that talk to SDL: the one window and renderer.
#pragma once
#include <SDL.h>

SDL_Window* sdlWindow();
void sdlReleaseWindow();
SDL_Renderer* sdlRenderer();

// Called when SDL reports that render targets (or the whole renderer) lost
// their content: the device then reads as "not reset" until it is reset.
void sdlNoteRenderReset(bool wholeDevice);

// Makes the back buffer the render target, doing a clear still owed first.
void sdlTargetBackBuffer();

// The SDL keyboard and pad (input_sdl.cpp). Key and controller events are
// caught by an event watch, so that a tap between two polls is never lost.
#include "platform/input.h"

int sdlInputEventWatch(void* userdata, SDL_Event* event);
bool sdlKeyboardStart();
void sdlKeyboardStop();
void sdlInputPump();
InputResult sdlKeyboardGetState(uint8_t state[256]);
InputResult sdlKeyboardAcquire();
void sdlKeyboardUnacquire();
bool sdlPadGetState(PadState& state);
