// Reading the command line.
#include "app/command_line.h"

#include "app/settings.h"
#include "platform/files.h"

#include <string>
#include <string_view>

namespace {

CommandLine refuse(std::string problem)
{
    CommandLine line;
    line.action = CommandLine::Action::Refuse;
    line.problem = std::move(problem);
    return line;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        // --record=FILE as well as --record FILE.
        std::string_view attached;
        const size_t equals = argument.starts_with("--") ? argument.find('=') : std::string_view::npos;
        if (equals != std::string_view::npos) {
            attached = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        }
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (argument == "--overwrite" && equals == std::string_view::npos) {
            line.overwrite = true;
            continue;
        }
        // The settings: switches take no value, the others one.
        const bool isSwitch = argument == "--mute" || argument == "--vsync" || argument == "--fullscreen"
                              || argument == "--windowed";
        const bool takesValue = argument == "--volume" || argument == "--music-volume"
                                || argument == "--effects-volume" || argument == "--max-fps";
        if (isSwitch || takesValue) {
            std::string name(argument.substr(2));
            std::string value = "yes";
            if (isSwitch && equals != std::string_view::npos)
                return refuse("option '" + std::string(argument) + "' takes no value");
            if (argument == "--fullscreen" || argument == "--windowed") {
                value = name;
                name = "screen-mode";
            }
            if (takesValue) {
                if (equals == std::string_view::npos && i + 1 >= argc)
                    return refuse("option '" + std::string(argument) + "' needs a value");
                value = std::string(equals == std::string_view::npos ? std::string_view(argv[++i]) : attached);
            }
            for (const auto& [given, _] : line.settings)
                if (given == name)
                    return refuse(name == "screen-mode" ? "--fullscreen and --windowed cannot go together"
                                                        : "option '" + std::string(argument) + "' given twice");
            Settings check;
            std::string problem;
            if (!applySetting(name, value, check, problem))
                return refuse("--" + problem);
            line.settings.emplace_back(std::move(name), std::move(value));
            continue;
        }
        std::string* file = argument == "--record" ? &line.record
                            : argument == "--watch" ? &line.watch
                            : argument == "--trace" ? &line.trace
                                                    : nullptr;
        if (!file)
            return refuse(argument.starts_with("-") ? "unknown option '" + std::string(argument) + "'"
                                                    : "unexpected argument '" + std::string(argument) + "'");
        if (!file->empty())
            return refuse("option '" + std::string(argument) + "' given twice");
        if (equals == std::string_view::npos) {
            if (i + 1 >= argc)
                return refuse("option '" + std::string(argument) + "' needs a file name");
            attached = argv[++i];
        }
        if (attached.empty())
            return refuse("option '" + std::string(argument) + "' needs a file name");
        *file = std::string(attached);
    }
    if (!line.record.empty() && !line.watch.empty())
        return refuse("--record and --watch cannot go together");
    if (line.overwrite && line.record.empty())
        return refuse("--overwrite goes with --record");
    return line;
}

const char* usageText()
{
    static const std::string text = std::string(
        "Usage: kestrelon [OPTION]...\n"
        "Kestrelon, a 2-D space shooter: steer a fighter over a scrolling star map,\n"
        "shoot the bouncing asteroids and the boss, and put your name among the ten\n"
        "best scores.\n"
        "\n"
        "Keys:\n"
        "  arrow keys   fly; on the menus, move the highlight (a game controller's\n"
        "               left stick flies too)\n"
        "  Space        fire two shots; leave the game-over and high-score screens\n"
        "  Enter        choose; confirm your name; leave the credits\n"
        "  Escape       back to the menu (Continue resumes the game)\n"
        "  A to Z       your name in the high-score table (up to six letters)\n"
        "  F12          save a screenshot\n"
        "  Alt+Enter    switch between full screen and a window (as Screen mode does)\n"
        "\n")
        + playerFilesHelp() +
        "\n"
        "Options:\n"
        "  --record FILE    play as usual and write the whole session to FILE, to\n"
        "                   be watched or checked frame for frame later; FILE must\n"
        "                   not exist yet\n"
        "  --overwrite      with --record: replace FILE if it exists\n"
        "  --watch FILE     play the recording FILE back in the window, at the pace\n"
        "                   it was recorded (your keys are not read, nothing is saved)\n"
        "  --trace FILE     with either: a line per frame of what the game did\n"
        "                   (FILE is written anew)\n"
        "No output is ever written over the score table, a file of the game's data or\n"
        "the recording being watched.\n"
        "  --help           show this help and exit\n"
        "  --version        show the version and exit\n"
        "\n"
        "Settings (each also a line NAME = VALUE of the settings file; the command\n"
        "line wins):\n"
        "  --volume N          the sound's volume, 0 to 100 (volume = 100)\n"
        "  --music-volume N    the tunes' volume within it, 0 to 100\n"
        "                      (music-volume = 100)\n"
        "  --effects-volume N  the effects' volume within it, 0 to 100\n"
        "                      (effects-volume = 100)\n"
        "  --mute              no sound at all (mute = yes)\n"
        "  --fullscreen        start full screen (screen-mode = fullscreen)\n"
        "  --windowed          start in a window (screen-mode = windowed); with\n"
        "                      neither, the game starts in the mode last chosen\n"
        "  --max-fps N         at most N frames a second, 0 for no limit (max-fps = 0)\n"
        "  --vsync             frames in step with the display (vsync = yes)\n"
        + settingsFilesHelp() +
        "\n"
        "Exit status: 0 when the game ends normally, 1 when it cannot start (no\n"
        "display, a missing data file, a recording that cannot be written or\n"
        "read) or a file it was asked to write cannot be written, 2 for a bad\n"
        "option.\n";
    return text.c_str();
}
