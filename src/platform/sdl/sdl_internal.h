// Shared by the platform files that talk to SDL: the one window and renderer.
#pragma once
#include <SDL.h>

SDL_Window* sdlWindow();
void sdlReleaseWindow();
SDL_Renderer* sdlRenderer();

// Called when SDL reports that render targets (or the whole renderer) lost
// their content: the device then reads as "not reset" until it is reset.
void sdlNoteRenderReset(bool wholeDevice);

// Feeds key and controller events to the keyboard and pad state; installed
// as an event watch so that a tap between two polls is never lost.
int sdlInputEventWatch(void* userdata, SDL_Event* event);
void sdlInputStart();
void sdlInputStop();
