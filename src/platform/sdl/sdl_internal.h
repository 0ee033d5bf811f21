// Shared by the SDL backend's files: the one window and renderer, the key
// table, and the window system's messages.
#pragma once
#include "platform/input_service.h"
#include "platform/platform.h"
#include "platform/video_service.h"
#include "platform/video.h"
#include "platform/window.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <string_view>

SDL_Window* sdlWindow();
SDL_Renderer* sdlRenderer();

// The run's configuration as platformStart was given it (library_sdl.cpp):
// the sound and video backends take the player's volumes and pacing from it.
const PlatformConfig& sdlConfig();

// A picture file as an ARGB surface, keyed (image_sdl.cpp; see image.h);
// null with `error` set when it cannot be had.
SDL_Surface* loadKeyedSurface(const std::string& path, uint32_t colourKey, bool opaque, std::string& error);

// The last frame presented, shown again as the window now is (after a
// screen-mode switch, or when the window system lost its pixels).
void sdlShowLastFrame();

// Makes the back buffer the render target, doing a clear still owed first.
void sdlTargetBackBuffer();

// Sheet frames kept scaled and turned as they are drawn (sprite_copies.cpp),
// by the texture they were made from; dropping with null drops them all.
SDL_Texture* sdlSpriteCopy(const void* owner, SDL_Texture* source, const SDL_Rect& from, int width, int height,
                           int quarterTurns);
void sdlDropSpriteCopies(const void* owner);
// 0 to 3 clockwise quarter turns when `radians` is one (to within a hair),
// otherwise -1.
int quarterTurnsOf(float radians);

// The file of a font face as the system finds it, empty when none; and
// letting go of what finding it kept (font_files_*.cpp, one per system).
std::string fontFileFor(const char* face);
void forgetFontFiles();

// Fonts (fonts_sdl.cpp): the font library's start and end, and the video
// service's font calls.
bool sdlFontsStart();
void sdlFontsStop();
bool sdlOpenFont(PlatformFont* font);
void sdlReleaseFont(PlatformFont* font);
void sdlFontLost(PlatformFont* font);
void sdlDrawText(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text);

// The next window event the game acts on, as a message (window_sdl.cpp).
bool sdlNextWindowMessage(SystemMessage& message);

// The keys of the key table by SDL scancode (keys_sdl.cpp).
struct ScancodeKey {
    SDL_Scancode scancode;
    int code;   // DirectInput key code
};
extern const ScancodeKey kScancodeKeys[];
extern const int kScancodeKeyCount;
