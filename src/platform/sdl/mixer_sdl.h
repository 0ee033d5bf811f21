// SDL_mixer, opened when the sound starts rather than when the program
// does: a run without sound (a headless check) never loads it and the dozen
// libraries it brings, and the game loads it on a thread of its own while
// its window opens. Its functions are called through this table.
#pragma once
#include <SDL_mixer.h>

struct MixerLibrary {
    decltype(&Mix_Linked_Version) linkedVersion;
    decltype(&Mix_OpenAudioDevice) openAudioDevice;
    decltype(&Mix_AllocateChannels) allocateChannels;
    decltype(&Mix_QuerySpec) querySpec;
    decltype(&Mix_CloseAudio) closeAudio;
    decltype(&Mix_LoadWAV_RW) loadWavRw;
    decltype(&Mix_LoadMUS) loadMusic;
    decltype(&Mix_FreeChunk) freeChunk;
    decltype(&Mix_FreeMusic) freeMusic;
    decltype(&Mix_PlayChannelTimed) playChannelTimed;
    decltype(&Mix_PlayMusic) playMusic;
    decltype(&Mix_HaltChannel) haltChannel;
    decltype(&Mix_HaltMusic) haltMusic;
    decltype(&Mix_Pause) pause;
    decltype(&Mix_PauseMusic) pauseMusic;
    decltype(&Mix_Playing) playing;
    decltype(&Mix_PlayingMusic) playingMusic;
    decltype(&Mix_Volume) volume;
    decltype(&Mix_VolumeMusic) volumeMusic;
};

// Starts loading the library on a thread of its own; waits for that thread.
void startLoadingMixer();
void finishLoadingMixer();
// The library once loaded, or null (with the reason on stderr) when it
// cannot be had: the game then plays on without sound.
const MixerLibrary* mixer();
