// Argument handling and the run itself.
#include "replay.h"

#include "app/game_main.h"
#include "app/trace.h"
#include "game/world.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/platform.h"
#include "platform/call_log.h"
#include "platform/recording.h"
#include "platform/recording_format.h"
#include "platform/script.h"
#include "render/device.h"
#include "screens/screen_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

struct ReplayOptions {
    std::string dir = ".";
    std::string script;
    std::string trace;
    std::string record;
    int64_t frames = -1;   // not given
    int startDifficulty = 0;   // 0: start on the menu
    bool render = false;
    bool draws = false;
    bool overwrite = false;
};

struct ReplayState {
    int64_t calls = 0;
    bool draws = false;
};

ReplayState state;

int usage(const char* problem)
{
    std::fprintf(stderr,
                 "kestrelon-replay: %s\n"
                 "usage: kestrelon-replay --script FILE --trace FILE [--dir DIR] [--frames N]\n"
                 "                        [--start novice|hero] [--render] [--draws]\n"
                 "                        [--record OUT [--overwrite]]\n",
                 problem);
    return kReplayUsageExitCode;
}

bool parseArguments(int argc, char** argv, ReplayOptions& options, std::string& problem)
{
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                problem = argument + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (argument == "--dir") {
            if (!value(options.dir))
                return false;
        } else if (argument == "--script") {
            if (!value(options.script))
                return false;
        } else if (argument == "--trace") {
            if (!value(options.trace))
                return false;
        } else if (argument == "--record") {
            if (!value(options.record))
                return false;
        } else if (argument == "--frames") {
            std::string frames;
            if (!value(frames))
                return false;
            char* end = nullptr;
            long long count = std::strtoll(frames.c_str(), &end, 10);
            if (frames.empty() || *end || count < 0) {
                problem = "--frames takes a whole number, 0 or more";
                return false;
            }
            options.frames = count;
        } else if (argument == "--start") {
            std::string choice;
            if (!value(choice))
                return false;
            if (choice == "novice")
                options.startDifficulty = 1;
            else if (choice == "hero")
                options.startDifficulty = 2;
            else {
                problem = "--start takes novice or hero";
                return false;
            }
        } else if (argument == "--render") {
            options.render = true;
        } else if (argument == "--draws") {
            options.draws = true;
        } else if (argument == "--overwrite") {
            options.overwrite = true;
        } else {
            problem = "unknown argument " + argument;
            return false;
        }
    }
    if (options.script.empty() || options.trace.empty()) {
        problem = "--script and --trace are needed";
        return false;
    }
    return true;
}

int startDifficulty = 0;

void afterStartup()
{
    if (startDifficulty != 0)
        startNewGameAt(startDifficulty);
}

void afterFrame()
{
    writeTraceLine(++state.calls, state.draws);
    beginCallLog();
}

// A script is read whole, so it is held to a size no script of keys comes
// near; a recording is read as it plays, whatever its size.
constexpr size_t kLongestScript = 64u << 20;

// Reads the input: the whole of a script, or only enough of a recording to
// tell it is one.
bool readScript(const std::string& path, std::string& text, std::string& error)
{
    std::FILE* file = openInput(path, error);
    if (!file)
        return false;
    text.clear();
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, got);
        if (looksLikeRecording(text))
            break;
        if (text.size() > kLongestScript) {
            error = "longer than any script of keys (64 MiB)";
            std::fclose(file);
            return false;
        }
    }
    const bool read = !std::ferror(file);
    std::fclose(file);
    if (!read)
        error = "a read failed";
    return read;
}

// What the options name, from where the runner was started.
std::string fromHere(const std::string& path)
{
    return path.empty() ? path : absolutePath(path);
}

} // namespace

void startNewGameAt(int chosenDifficulty)
{
    difficulty = chosenDifficulty;
    difficultyMenuActive = false;
    menuActive = false;
    gameInProgress = true;
    newGame();
    getReadyPending = true;
}

int runReplay(int argc, char** argv)
{
    ReplayOptions options;
    std::string problem;
    if (!parseArguments(argc, argv, options, problem))
        return usage(problem.c_str());
    if (!options.record.empty() && options.startDifficulty != 0)
        return usage("--record takes a run from the menu, as a player starts one, not from --start");
    if (options.overwrite && options.record.empty())
        return usage("--overwrite goes with --record");

    // The game runs in DIR, its game folder; the files named are where they
    // were named, and none of the outputs may be one of the inputs or a file
    // of the game's.
    options.script = fromHere(options.script);
    options.trace = fromHere(options.trace);
    options.record = fromHere(options.record);
    if (!enterFolder(options.dir, problem))
        return usage(("cannot enter " + options.dir + ": " + problem).c_str());
    useWorkingFolder();

    std::string text;
    if (!readScript(options.script, text, problem))
        return usage(("cannot read the script " + options.script + ": " + problem).c_str());
    const bool recording = looksLikeRecording(text);
    std::vector<ScriptStep> steps;
    if (recording) {
        text = std::string();
        if (options.startDifficulty != 0 || !options.record.empty())
            return usage("a recording starts where it was recorded and cannot be recorded again");
        if (!startPlayback(options.script, problem)) {
            std::fprintf(stderr, "kestrelon-replay: %s\n", problem.c_str());
            return kReplayUsageExitCode;
        }
    } else if (!parseReplayScript(text, steps, problem)) {
        std::fprintf(stderr, "kestrelon-replay: %s: %s\n", options.script.c_str(), problem.c_str());
        return kReplayUsageExitCode;
    }
    if (options.frames < 0)
        options.frames = recording ? -1 : 10000;
    // A recording plays from the screen mode it started in; a script from a window.
    bool recordedFullScreen = false;
    fullScreen = recording && recordedStartingScreenMode(recordedFullScreen) && recordedFullScreen;

    bool opened = true;
    if (!options.record.empty()) {
        std::FILE* file = openOutput(options.record, options.overwrite, problem);
        opened = file && startRecording(file, options.record, problem);
    }
    if (opened)
        opened = openTraceFile(options.trace, problem);
    if (!opened) {
        finishRecording();
        finishPlayback();
        return usage(problem.c_str());
    }
    state = ReplayState{};
    state.draws = options.draws;
    startDifficulty = options.startDifficulty;

    PlatformConfig config;
    config.clock = ClockBackend::Virtual;
    config.input = InputBackend::Script;
    config.video = options.render ? VideoBackend::Offscreen : VideoBackend::None;
    config.audio = AudioBackend::Headless;
    config.logCalls = true;
    config.tape = recording ? Tape::Play : !options.record.empty() ? Tape::Record : Tape::None;
    config.startFullScreen = fullScreen;
    int exitCode = kStartupFailedExitCode;
    if (platformStart(config)) {
        loadInputScript(std::move(steps));
        GameRun run;
        run.singleInstance = false;
        run.maxFrames = options.frames;
        run.afterStartup = afterStartup;
        run.afterFrame = afterFrame;
        exitCode = runKestrelon(run);
    }
    finishPlayback();
    platformStop();
    if (recording && playbackFoundDamage())
        exitCode = kReplayUsageExitCode;
    const bool recorded = finishRecording();
    const bool traced = closeTraceFile();
    if (!recorded || !traced || aWriteFailed())
        exitCode = kWriteFailedExitCode;
    return exitCode;
}

namespace {

std::string scriptLineFor(const std::vector<uint8_t>& keys)
{
    std::string line;
    for (uint8_t key : keys)
        for (int k = 0; k < kKeyCount; ++k)
            if (kKeys[k].code == key) {
                if (!line.empty())
                    line += ' ';
                line += kKeys[k].name;
                break;
            }
    return line.empty() ? "." : line;
}

} // namespace

void writeScriptPolls(std::FILE* out, const std::vector<std::vector<uint8_t>>& polls)
{
    for (size_t i = 0; i < polls.size();) {
        size_t run = 1;
        while (i + run < polls.size() && polls[i + run] == polls[i])
            ++run;
        const std::string line = scriptLineFor(polls[i]);
        if (run > 1)
            std::fprintf(out, "%zu* %s\n", run, line.c_str());
        else
            std::fprintf(out, "%s\n", line.c_str());
        i += run;
    }
}
