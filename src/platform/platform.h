// Starting and stopping the platform layer, and choosing its backends.
// Time, input, video and sound are chosen independently, so that a replay
// can run on the virtual clock and a script while drawing real pixels.
#pragma once

enum class ClockBackend { Real, Virtual };
enum class InputBackend { Sdl, Script };
enum class VideoBackend { Window, Offscreen, None };
enum class AudioBackend { Sdl, Headless };
// A session recorded (every answer of the chosen backends written down) or
// played back (the answers read from the recording; see recording.h).
enum class Tape { None, Record, Play };

struct PlatformConfig {
    ClockBackend clock = ClockBackend::Real;
    InputBackend input = InputBackend::Sdl;
    VideoBackend video = VideoBackend::Window;
    AudioBackend audio = AudioBackend::Sdl;
    bool logCalls = false;   // keep draws, sounds, sleeps and presents for traces
    Tape tape = Tape::None;  // the recording is started before platformStart
    // The player's comfort, for the real outputs only: what the player hears
    // and how often a frame reaches the screen. The game reads none of it,
    // so a session plays, records and traces the same whatever it is.
    float musicGain = 1.0f;     // the tunes' volume, 0 to 1
    float effectsGain = 1.0f;   // the other sounds'
    int maxFps = 0;             // presents a second at most; 0: no limit
    bool vsync = false;         // presents in step with the display
    // The window opens full screen, as the game's device will be made (the
    // game starts so; this spares the player a window shown for a moment).
    bool startFullScreen = false;
};

// The process's exit status when the game cannot start: no display, no
// window, a data file missing or damaged.
constexpr int kStartupFailedExitCode = 1;
// ... and when a file it was asked to write (a recording, a trace) could not be.
constexpr int kWriteFailedExitCode = 1;

// First thing in a program: its standard output and error reach the
// console it was started from, where the system leaves a windowed program
// without them (Windows); nothing to do elsewhere.
void useStartingConsole();
// The program's arguments in UTF-8, as every path in the game is, where the
// system hands them over in another encoding (Windows' code page).
void argumentsInUtf8(int& argc, char**& argv);

// Picks each service's backend and starts what they need. Returns false with
// a message on stderr when a library cannot start.
bool platformStart(const PlatformConfig& config);
void platformStop();
