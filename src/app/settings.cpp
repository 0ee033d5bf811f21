// Reading the player's settings from text.
#include "app/settings.h"

#include <charconv>

namespace {

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string quoted(std::string_view value)
{
    std::string text = "'";
    for (char c : value.substr(0, 40))
        text += c >= 0x20 && c < 0x7f ? c : '?';
    if (value.size() > 40)
        text += "...";
    return text + "'";
}

bool readNumber(std::string_view value, int low, int high, int& number)
{
    int read = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), read);
    if (error != std::errc() || end != value.data() + value.size() || read < low || read > high)
        return false;
    number = read;
    return true;
}

bool readSwitch(std::string_view value, bool& on)
{
    const bool yes = value == "yes" || value == "on" || value == "true" || value == "1";
    const bool no = value == "no" || value == "off" || value == "false" || value == "0";
    if (yes || no)
        on = yes;
    return yes || no;
}

} // namespace

bool applySetting(std::string_view name, std::string_view value, Settings& settings, std::string& problem)
{
    const std::string shown = std::string(name) + " takes ";
    int* volume = name == "volume" ? &settings.volume
                  : name == "music-volume" ? &settings.musicVolume
                  : name == "effects-volume" ? &settings.effectsVolume
                                             : nullptr;
    if (volume) {
        if (readNumber(value, 0, 100, *volume))
            return true;
        problem = shown + "a number from 0 to 100, not " + quoted(value);
        return false;
    }
    if (name == "max-fps") {
        if (readNumber(value, 0, kMaxFpsLimit, settings.maxFps))
            return true;
        problem = shown + "a number from 0 (no limit) to " + std::to_string(kMaxFpsLimit) + ", not " + quoted(value);
        return false;
    }
    bool* toggle = name == "mute" ? &settings.mute : name == "vsync" ? &settings.vsync : nullptr;
    if (toggle) {
        if (readSwitch(value, *toggle))
            return true;
        problem = shown + "yes or no, not " + quoted(value);
        return false;
    }
    if (name == "screen-mode") {
        if (value == "fullscreen" || value == "windowed") {
            settings.fullScreen = value == "fullscreen";
            return true;
        }
        problem = shown + "fullscreen or windowed, not " + quoted(value);
        return false;
    }
    problem = "there is no setting " + quoted(name);
    return false;
}

void readSettingsText(std::string_view text, Settings& settings, std::vector<std::string>& problems)
{
    const size_t problemsBefore = problems.size();
    int more = 0;   // wrong lines past the ones named
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const size_t equals = line.find('=');
        std::string problem;
        if (equals == std::string_view::npos)
            problem = "not NAME = VALUE: " + quoted(line);
        else
            applySetting(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), settings, problem);
        if (problem.empty())
            continue;
        if (problems.size() - problemsBefore < kProblemsNamed)
            problems.push_back("line " + std::to_string(number) + ": " + problem);
        else
            ++more;
    }
    if (more > 0)
        problems.push_back("and " + std::to_string(more) + " more wrong line" + (more == 1 ? "" : "s"));
}

std::string screenModeStateText(bool fullScreen)
{
    return std::string("# kept by kestrelon: the screen mode last chosen\nscreen-mode = ")
           + (fullScreen ? "fullscreen" : "windowed") + "\n";
}

std::optional<bool> readScreenModeState(std::string_view text, std::string& problem)
{
    Settings read;
    std::vector<std::string> problems;
    readSettingsText(text, read, problems);
    Settings onlyTheMode;
    onlyTheMode.fullScreen = read.fullScreen;
    if (!problems.empty())
        problem = problems.front();
    else if (!read.fullScreen)
        problem = "it names no screen mode";
    else if (read != onlyTheMode)
        problem = "it holds more than the screen mode";
    if (!problem.empty())
        return std::nullopt;
    return read.fullScreen;
}

float musicGain(const Settings& settings)
{
    return settings.mute ? 0.0f : settings.volume / 100.0f * (settings.musicVolume / 100.0f);
}

float effectsGain(const Settings& settings)
{
    return settings.mute ? 0.0f : settings.volume / 100.0f * (settings.effectsVolume / 100.0f);
}
