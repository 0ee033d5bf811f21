// The game's command line: what the player asked for, or what was wrong
// with it. Reading it opens nothing and loads nothing.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct CommandLine {
    enum class Action { Play, Help, Version, Refuse };
    Action action = Action::Play;
    std::string record;    // --record FILE: write the session to FILE
    std::string watch;     // --watch FILE: play the recording FILE back
    std::string trace;     // --trace FILE: a line per frame of what the game did
    bool overwrite = false;   // --overwrite: --record may replace an existing file
    // The player's settings given here (see settings.h), as NAME and VALUE in
    // the order given, each already checked; they win over the settings file.
    std::vector<std::pair<std::string, std::string>> settings;
    std::string problem;   // for Refuse: one line naming the option
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The text --help prints.
const char* usageText();

constexpr int kBadCommandLineExitCode = 2;

// What --version prints (without the line end).
constexpr const char* kVersionText = "kestrelon " KESTRELON_VERSION;
