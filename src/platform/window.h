// The window, its messages and the single-instance guard. The messages are
// the ones the game's window procedure knows; SDL's window events (or, in a
// replay, the script) are turned into them.
#pragma once
#include <cstdint>

enum class MessageType {
    Quit,           // ends the message loop; param = exit code
    Close,          // the user asked to close the window
    Destroy,        // the window is going away
    SizeMinimized,
    SizeRestored,
    Activate,
    SetFocus,
    KillFocus,
    ActivateApp,    // param 1: the game is being entered, 0: left
};

struct Message {
    MessageType type = MessageType::Quit;
    int64_t param = 0;
};

// True when this process now holds the guard named `name` (a mutex on
// Windows, a lock file of that name in lower case on Linux); false when another
// running copy holds it. The system drops it when the process ends. Where no
// guard can be had, the game runs (true) and says so in one line.
bool acquireSingleInstanceGuard(const char* name);

// A message box with an OK button (also written to stderr). It waits for
// the player outside the message loop, so a terminating signal (Ctrl+C,
// SIGTERM, a closed terminal) while it is open ends the process at once with
// `exitCodeIfEnded`, the code that case ends with anyway.
enum class BoxIcon { Warning, Error };
void showMessageBox(const char* caption, const char* text, BoxIcon icon, int exitCodeIfEnded);

bool windowCreate(const char* title, int width, int height);
void windowShow();
void windowHideCursor();
void windowDestroy();

// Takes the next message, if any (posted messages first).
bool peekMessage(Message& message);
void postMessage(const Message& message);
void postQuitMessage(int exitCode);
void clearPostedMessages();
