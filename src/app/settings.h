// The player's settings: sound volumes, the starting screen mode and the
// frame pacing. Each has a name used alike by the command line (--NAME) and
// the settings file (NAME = VALUE); the defaults are the game as it always
// played. Reading them is pure text work; settings_files.cpp finds the files.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Settings {
    int volume = 100;          // percent, over both parts
    int musicVolume = 100;     // the tunes
    int effectsVolume = 100;   // everything else
    bool mute = false;         // plays nothing; every sound call is still made
    std::optional<bool> fullScreen;   // the starting mode; unset: the one last chosen
    int maxFps = 0;            // frames a second at most; 0: as fast as the machine goes
    bool vsync = false;        // presentation synchronised with the display
    bool operator==(const Settings&) const = default;
};

constexpr int kMaxFpsLimit = 1000;

// Sets the setting NAME from its text VALUE (numbers in decimal; yes/no,
// on/off, true/false or 1/0 for the switches; fullscreen/windowed for
// screen-mode). False, with `problem` saying what is wrong in the player's
// terms, when the name is unknown or the value does not fit; `settings` is
// then unchanged.
bool applySetting(std::string_view name, std::string_view value, Settings& settings, std::string& problem);

// The settings file's text, line by line: blank lines and lines starting
// with # are skipped; every other line is NAME = VALUE (spaces around both
// allowed). A line that is wrong leaves its setting as it was and adds
// "line N: ..." to `problems`; the other lines still count. Past
// kProblemsNamed wrong lines, one last entry counts the rest.
constexpr size_t kProblemsNamed = 10;
void readSettingsText(std::string_view text, Settings& settings, std::vector<std::string>& problems);

// The state file the game keeps for itself: the screen mode last chosen.
std::string screenModeStateText(bool fullScreen);
// The mode in a state file's text; empty, with `problem` set, when the text
// is not one the game wrote.
std::optional<bool> readScreenModeState(std::string_view text, std::string& problem);

// The volumes as the sound output takes them, 0 to 1: master times part,
// nothing when muted.
float musicGain(const Settings& settings);
float effectsGain(const Settings& settings);
