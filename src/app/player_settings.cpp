// The settings file and the state file, read and written through the
// platform's file layer.
#include "app/player_settings.h"

#include "platform/files.h"

#include <cstdio>
#include <string>
#include <vector>

Settings loadPlayerSettings(const CommandLine& line)
{
    Settings settings;
    const std::string path = settingsFilePath();
    std::string text;
    std::string error;
    bool missing = false;
    if (!path.empty()) {
        if (readTextFile(path, text, missing, error)) {
            std::vector<std::string> problems;
            readSettingsText(text, settings, problems);
            for (const std::string& problem : problems)
                std::fprintf(stderr, "kestrelon: %s %s (%s)\n", path.c_str(), problem.c_str(),
                             problem.starts_with("line ") ? "the line is skipped" : "skipped too");
        } else if (!missing) {
            std::fprintf(stderr, "kestrelon: cannot read %s: %s; the settings are left at their defaults\n",
                         path.c_str(), error.c_str());
        }
    }
    // Checked when the command line was read: these cannot fail.
    for (const auto& [name, value] : line.settings) {
        std::string problem;
        applySetting(name, value, settings, problem);
    }
    return settings;
}

std::optional<bool> rememberedScreenMode()
{
    const std::string path = stateFilePath();
    std::string text;
    std::string error;
    bool missing = false;
    if (path.empty() || !readTextFile(path, text, missing, error)) {
        if (!path.empty() && !missing)
            std::fprintf(stderr, "kestrelon: cannot read %s: %s; ignored\n", path.c_str(), error.c_str());
        return std::nullopt;
    }
    std::string problem;
    const std::optional<bool> mode = readScreenModeState(text, problem);
    if (!mode)
        std::fprintf(stderr, "kestrelon: %s is not as the game wrote it (%s); ignored\n", path.c_str(),
                     problem.c_str());
    return mode;
}

void rememberScreenMode(bool fullScreen)
{
    std::string error;
    if (!writeStateFile(screenModeStateText(fullScreen), error))
        std::fprintf(stderr, "kestrelon: cannot remember the screen mode in %s: %s\n", stateFilePath().c_str(),
                     error.c_str());
}
