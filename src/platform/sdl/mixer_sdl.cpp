// Loading SDL_mixer by its shared object's name.
#include "platform/sdl/mixer_sdl.h"

#include <cstdio>
#include <string>
#include <dlfcn.h>
#include <thread>

namespace {

// The library's name as the linker records it (its soname): stable for the
// whole SDL2_mixer 2 series.
constexpr const char* kMixerLibrary = "libSDL2_mixer-2.0.so.0";

void* handle = nullptr;
MixerLibrary library;
bool loaded = false;
std::string problem;   // why it could not be loaded (dlerror belongs to the loading thread)
// A jthread, as every start-up thread: joined even when a library ends the
// process with exit() (Xlib, when the display goes away), never an abort.
std::jthread loader;
bool loading = false;

template <typename Function>
bool find(Function& function, const char* name)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

bool load()
{
    handle = dlopen(kMixerLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        problem = dlerror();
        return false;
    }
    problem = "SDL_mixer lacks a function the game uses";
    return find(library.linkedVersion, "Mix_Linked_Version") && find(library.openAudioDevice, "Mix_OpenAudioDevice")
           && find(library.allocateChannels, "Mix_AllocateChannels") && find(library.querySpec, "Mix_QuerySpec")
           && find(library.closeAudio, "Mix_CloseAudio") && find(library.loadWavRw, "Mix_LoadWAV_RW")
           && find(library.loadMusic, "Mix_LoadMUS") && find(library.freeChunk, "Mix_FreeChunk")
           && find(library.freeMusic, "Mix_FreeMusic") && find(library.playChannelTimed, "Mix_PlayChannelTimed")
           && find(library.playMusic, "Mix_PlayMusic") && find(library.haltChannel, "Mix_HaltChannel")
           && find(library.haltMusic, "Mix_HaltMusic") && find(library.pause, "Mix_Pause")
           && find(library.pauseMusic, "Mix_PauseMusic") && find(library.playing, "Mix_Playing")
           && find(library.playingMusic, "Mix_PlayingMusic") && find(library.volume, "Mix_Volume")
           && find(library.volumeMusic, "Mix_VolumeMusic");
}

} // namespace

void startLoadingMixer()
{
    if (loading || handle)
        return;
    loading = true;
    loader = std::jthread([] { loaded = load(); });
}

void finishLoadingMixer()
{
    if (loader.joinable())
        loader.join();
}

const MixerLibrary* mixer()
{
    if (!loading)
        startLoadingMixer();
    if (loader.joinable()) {
        loader.join();
        if (!loaded)
            std::fprintf(stderr, "kestrelon: no sound: %s\n", problem.c_str());
    }
    return loaded ? &library : nullptr;
}

