// What the operating systems do differently, one function each: the
// program's own place, the player's folders, files made and replaced safely,
// and requests to end from outside the window. (The single-instance guard,
// declared in window.h, the console and arguments of platform.h and the
// --help paragraph of files.h are the system's too.)
// system_posix.cpp holds Linux's, system_windows.cpp Windows'; the build
// picks the file for the system (and sdl/font_files_*.cpp likewise).
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// Where the game's own files and the player's are (see files.h). Linux: an
// installation is share/kestrelon found from the program's place, the
// player's files in $XDG_DATA_HOME/kestrelon; else a game folder, the
// working directory. Windows: the game's files beside the program; the
// player's in %LOCALAPPDATA%\Kestrelon when the installer marked the folder
// installed (kestrelon.installed beside the program), else beside the
// program too (the portable zip).
struct GameFolderPlaces {
    std::string game = ".";
    std::string player = ".";
    bool installed = false;
};
// False, with `error` set, when the player's own folder cannot be found.
bool findGameFolderPlaces(GameFolderPlaces& places, std::string& error);

// Where the player's settings and the game's own state live (settings.conf
// and state, see files.h). Linux: $XDG_CONFIG_HOME/kestrelon and
// $XDG_STATE_HOME/kestrelon (~/.config/kestrelon, ~/.local/state/kestrelon);
// Windows: %APPDATA%\Kestrelon for both, the folder SDL gives a program for
// such files. Empty when there is no such place (no home).
std::string settingsFolder();
std::string stateFolder();

// Opens a file for reading only if it is a regular file: a folder, a FIFO or
// a device is refused (a FIFO without a writer would block), as is a missing
// file. Null with `error` set otherwise.
std::FILE* openRegularFile(const std::string& path, std::string& error);

// Makes `path` anew for writing; fails when anything is there already,
// even a link (nothing is followed). Null with `error` set otherwise.
std::FILE* createNewFile(const std::string& path, std::string& error);

// Opens `path` for writing from its start, made if missing; an existing
// file is emptied. Null with `error` set.
std::FILE* openForReplacing(const std::string& path, std::string& error);

// Writes `contents` as the whole of the regular file `path` (not a link:
// the caller follows those) in one step: a new file with a unique name and
// the old one's permissions beside it, flushed to the disk, renamed over
// it, the folder synced. A read-only file is not replaced. On failure
// nothing has changed and `error` says why.
bool replaceFileAtomically(const std::string& path, std::string_view contents, std::string& error);

// True when the file exists and its owner may not write it (whoever runs
// the game, root included, treats it as the player's "keep this").
bool fileIsReadOnly(const std::string& path);

// The video drivers SDL is to try for a window on the player's display,
// null for SDL's own choice; and what to tell a player when none opens.
const char* displayDriversToTry();
const char* noDisplayAdvice();

// Requests to end the game from outside its window (SIGINT, SIGTERM,
// SIGHUP: Ctrl+C, kill, a closed terminal) are noted from now on, for
// takeEndRequest to hand over as a close of the window.
void listenForEndRequests();
// True once for each request noted since the last call.
bool takeEndRequest();
// Notes one request: what the system's handler calls (safe in a signal
// handler and on another thread).
void countEndRequest();
// While a message box waits for the player outside the message loop, a
// request to end ends the process at once with `exitCode`, the box with it
// (it may be a process of its own). On before showing it, off after.
void endAtOnceOnRequest(bool atOnce, int exitCode);
