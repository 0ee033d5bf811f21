// Hooks for tests only, never called by the game: events as if they came
// from the window system, a virtual game controller, the headless sound's
// pretend machine, and the device's reset bookkeeping.
#pragma once
#include "platform/sound.h"

#include <cstdint>
#include <string>

// The SDL backend (sdl/input_sdl.cpp, sdl/window_sdl.cpp, sdl/keys_sdl.cpp).
void injectKeyEventForTest(int scancode, bool down);
void injectFocusEventForTest(bool gained);
// A game controller plugged in (SDL's virtual joystick), moved and pulled out.
bool plugVirtualPadForTest();
void moveVirtualPadForTest(int16_t leftX, int16_t leftY);
void unplugVirtualPadForTest();
// The player drags the window to this inside size.
void windowResizeForTest(int width, int height);
// The DirectInput code SDL's scancode `scancode` maps to (0 for none).
int keyCodeForScancode(int scancode);

// The headless sound's pretend machine (headless/sound_silent.cpp), for the
// set-up's branches.
struct HeadlessAudioMachine {
    int driverCount = 1;
    std::string driverName = "Virtual output";
    uint32_t caps = 0;
    int speakerChannels = 2;
    bool rejectSpeakerModeAbove2 = false;   // init fails with SoundErrOutputCreateBuffer
    bool failInit = false;
    uint32_t version = kSoundLayerVersion;
};
void configureHeadlessAudio(const HeadlessAudioMachine& machine);

// What the sound set-up chose (sound.cpp).
const SoundSetup& soundSetup();

// The device (video.cpp): the next `count` resets fail; how many succeeded.
void failNextDeviceResets(int count);
int deviceResetCount();
