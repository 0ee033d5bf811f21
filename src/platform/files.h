// Where the game's files are, and how the files it writes are written.
//
// The game names its files as it always has: "data/spaceship.png" and the
// other pictures and sounds are the game's own and only read;
// "data/scores.txt" and "screen000.bmp" are the player's. Played in a game
// folder (the source tree, an unpacked game) every name is relative to the
// working directory. An installed game reads its own files from the
// installation, found from the executable's place, and keeps the player's
// in the player's folder ($XDG_DATA_HOME/kestrelon).
//
// Nothing the player made is written over by mistake: an output named on
// the command line is refused when it is an input of the run, the score
// table, a data file or another output; the player's files are replaced
// whole or not at all.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Each of the two starts a run: called once, before anything is read or
// written (the inputs and outputs of an earlier run are forgotten).
// findGameFolders: an installed game finds
// its installation and makes the player's folder, copying the default score
// table there when the player has none (never over anything). False, with
// `error` set, when the player's folder cannot be had.
bool findGameFolders(std::string& error);
// Every name relative to the working directory, installed or not (the
// replay runner, tests).
void useWorkingFolder();
bool playingInstalled();
// For the replay runner, which names its files from where it was started and
// then plays in another folder: a path made absolute, and a move of the
// working directory (false, with `error` set, when it cannot be entered).
std::string absolutePath(const std::string& path);
bool enterFolder(const std::string& folder, std::string& error);

// Where the player's files are, for the --help text: a paragraph in the
// system's own terms (its folders, its path separator).
const char* playerFilesHelp();
// ... and where the settings file and the state file are.
const char* settingsFilesHelp();

// The player's settings file and the state file the game keeps for itself
// (the screen mode last chosen), where the system keeps such files; empty
// when it has no place for them.
std::string settingsFilePath();
std::string stateFilePath();
// A whole file read as text, if it is a regular file of at most
// kMaxTextFileBytes (the settings and state files are a few lines); false
// with `error` set, and `missing` when there is no file at all.
constexpr size_t kMaxTextFileBytes = 64 * 1024;
bool readTextFile(const std::string& path, std::string& text, bool& missing, std::string& error);
// The state file written in one step (its folder made when missing).
bool writeStateFile(std::string_view text, std::string& error);

std::string gameFilePath(std::string_view name);     // pictures, sounds
std::string playerFilePath(std::string_view name);   // the score table, screenshots
std::string playerFolder();                          // "." in a game folder

// A player's file (by its game name) opened for reading when it is a
// regular file; null, with `error` saying why, otherwise.
std::FILE* openPlayerFile(std::string_view name, std::string& error);

// An input of this run (a script, a recording), opened for reading when it
// is a regular file, and remembered so that no output is written over it.
// Null, with `error` saying why, otherwise.
std::FILE* openInput(const std::string& path, std::string& error);

// An output named on the command line (a recording, a trace), opened for
// writing. Refused, before anything is opened, when it is the same file
// (by identity, whatever the name) as an input of the run, the score table,
// a file of the data folders or an earlier output; and when it exists
// already, unless `replace` (a trace is written anew each run; a recording
// only with --overwrite). Null, with `error` the whole message, otherwise.
std::FILE* openOutput(const std::string& path, bool replace, std::string& error);

// A write to an output failed: said once on stderr, naming the file and the
// reason, and the run is ended with exit code kWriteFailedExitCode, the way a
// closed window ends it (a score owed to the table is saved first).
void endRunForFailedWrite(const std::string& path, const std::string& reason);
bool aWriteFailed();

// The whole of a player's file (by its game name), replaced in one step; a
// link is followed, and the file it names is replaced. Refused when the
// file is read-only or not a plain file. False with `error` set.
bool replacePlayerFile(std::string_view name, std::string_view contents, std::string& error);
// A byte-for-byte copy of a player's file kept beside it, as NAME.bak, or
// NAME.bak.1, NAME.bak.2, ... when an older copy that differs is there
// (an identical one is kept as it is). `keptAs` is its path.
bool keepCopyOfPlayerFile(std::string_view name, std::string& keptAs, std::string& error);

// Called when a library ends the process on its own (Xlib does when the
// display goes away): `keep` saves what the player would otherwise lose.
// It runs at every ending and must do nothing when nothing is owed.
void keepOnAbruptExit(void (*keep)());
