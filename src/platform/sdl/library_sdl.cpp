// The SDL library's own start and end: the hints every backend and the file
// decoders rely on, and its event loop.
#include "platform/sdl_library.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/system.h"

#include <cstdio>

namespace {
PlatformConfig runConfig;
}

const PlatformConfig& sdlConfig() { return runConfig; }

bool sdlLibraryStart(const PlatformConfig& config)
{
    runConfig = config;
    // A WAV file that ends before its data does is damaged, not short.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
    SDL_SetHint(SDL_HINT_WAVE_RIFF_CHUNK_SIZE, "strict");
    // A controller is read whatever window has the focus, as XInput reads it;
    // the game only polls while it is active anyway.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // The game turns SIGINT, SIGTERM and SIGHUP alike into a close of its
    // window (SDL would take the first two only); a scripted run reads no
    // window events, so there they end the process as they would anyway.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (config.input == InputBackend::Sdl)
        listenForEndRequests();
    if (SDL_Init(SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "kestrelon: SDL could not start: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void sdlLibraryStop() { SDL_Quit(); }
