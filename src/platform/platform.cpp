// Starting SDL for the backends that need it.
#include "platform/platform.h"

#include "platform/sdl/sdl_internal.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>

PlatformConfig platformConfig;

namespace {
bool ttfStarted = false;
}

bool platformStart(const PlatformConfig& config)
{
    platformConfig = config;
    // A WAV file that ends before its data does is damaged, not short.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
    SDL_SetHint(SDL_HINT_WAVE_RIFF_CHUNK_SIZE, "strict");
    // A controller is read whatever window has the focus, as XInput reads it;
    // the game only polls while it is active anyway.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // A scripted run reads no window events, so SDL must not turn SIGINT and
    // SIGTERM into a quit event nobody takes: let them end the process.
    if (config.input == InputBackend::Script)
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    Uint32 subsystems = SDL_INIT_EVENTS;
    if (config.video != VideoBackend::None) {
        if (config.video == VideoBackend::Offscreen) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
            SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
        SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        subsystems |= SDL_INIT_VIDEO;
    }
    if (config.input == InputBackend::Sdl)
        subsystems |= SDL_INIT_GAMECONTROLLER;
    if (SDL_Init(subsystems) != 0) {
        std::fprintf(stderr, "kestrelon: SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    if (config.video != VideoBackend::None) {
        if (TTF_Init() != 0) {
            std::fprintf(stderr, "kestrelon: fonts could not start: %s\n", TTF_GetError());
            return false;
        }
        ttfStarted = true;
    }
    return true;
}

void platformStop()
{
    if (ttfStarted) {
        TTF_Quit();
        FcFini();   // fontconfig's caches, kept for the whole process otherwise
    }
    ttfStarted = false;
    sdlReleaseWindow();
    SDL_Quit();
}
