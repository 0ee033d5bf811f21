// The player's settings as this start of the game takes them, from the
// settings file and the command line, and the screen mode the game
// remembers for the player in its state file.
#pragma once
#include "app/command_line.h"
#include "app/settings.h"

#include <optional>

// The settings file's settings (each bad line said on stderr in one line
// naming the file and the line, its setting left at its default; the file
// is never written), then the command line's over them.
Settings loadPlayerSettings(const CommandLine& line);

// The screen mode the player last chose, from the state file; none when
// there is no such file (a damaged one is said on stderr and ignored).
std::optional<bool> rememberedScreenMode();
// Keeps `fullScreen` as the mode last chosen. A failure is said in one line
// and changes nothing else: the game plays on.
void rememberScreenMode(bool fullScreen);
