// The game's sound: set-up with its fall-backs, the nine sounds, and the four
// ways the game plays them (a one-shot effect, a looping tune on the music
// channel, stopping that tune, and the score sound that fades with distance).
#pragma once
#include "platform/sound.h"

extern SoundResult soundResult;       // result of the last sound call whose result is kept

extern PlatformSound* shootSound;
extern PlatformSound* scoreSound;
extern PlatformSound* hitSound;
extern PlatformSound* gameoverSound;
extern PlatformSound* countdownSound;
extern PlatformSound* oneUpSound;
extern PlatformSound* levelupSound;
extern PlatformSound* bossshootSound;
extern PlatformSound* menubgndSound;

extern SoundChannel musicChannel;     // the menu music or the game-over tune
extern SoundChannel scoreChannel;     // the most recent score sound

// The sound layer version the game was written against.
constexpr uint32_t kRequiredSoundVersion = 0x00044413;

// Start-up: true when the game may go on (a silent game included).
bool initSound();
void shutdownSound();

// True when soundResult is fine; otherwise writes its error text to stderr.
bool checkSoundResult();

// Creates a sound from a WAV file; false (after the error text) on failure.
bool loadSound(const char* path, PlatformSound** sound);

void playOneShot(PlatformSound* sound);
void startLoopingTune(PlatformSound* tune);   // only when the music channel is silent
void stopLoopingTune();
bool musicPlaying();

// The score sound at 1 - distance / 1280, the distance between the ship's and
// the asteroid's top-left corners given as dx, dy.
void playScoreSound(float dx, float dy);
