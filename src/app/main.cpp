// Kestrelon: the real game, on SDL in a window; or a recording of it,
// watched in the window.
#include "app/command_line.h"
#include "app/game_main.h"
#include "app/player_settings.h"
#include "app/trace.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/call_log.h"
#include "platform/recording.h"
#include "render/device.h"

#include <cstdio>
#include <string>

namespace {

int64_t framesTraced = 0;

void traceFrame()
{
    writeTraceLine(++framesTraced, false);
    beginCallLog();
}

// Finds the game's folders and opens what the command line names before
// anything starts: the recording watched first, as an input no output may
// be written over, then the outputs. A file that cannot be had ends the
// game before its window opens.
bool openFiles(const CommandLine& line)
{
    std::string error;
    bool opened = findGameFolders(error);
    if (opened && !line.watch.empty())
        opened = startPlayback(line.watch, error);
    if (opened && !line.record.empty()) {
        std::FILE* file = openOutput(line.record, line.overwrite, error);
        opened = file && startRecording(file, line.record, error);
    }
    if (opened && !line.trace.empty())
        opened = openTraceFile(line.trace, error);
    if (!opened)
        std::fprintf(stderr, "kestrelon: %s\n", error.c_str());
    return opened;
}

// The screen mode this start begins in: a recording's own when watching
// one (the game must play as it was recorded); else the one the settings
// name; else the one the player last chose; else a window.
bool startingScreenMode(const CommandLine& line, const Settings& settings)
{
    bool recorded = false;
    if (!line.watch.empty() && recordedStartingScreenMode(recorded))
        return recorded;
    if (settings.fullScreen)
        return *settings.fullScreen;
    return rememberedScreenMode().value_or(false);
}

} // namespace

int main(int argc, char** argv)
{
    useStartingConsole();
    argumentsInUtf8(argc, argv);
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts(kVersionText);
        return 0;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "kestrelon: %s (see kestrelon --help)\n", line.problem.c_str());
        return kBadCommandLineExitCode;
    case CommandLine::Action::Play:
        break;
    }
    if (!openFiles(line)) {
        finishRecording();
        closeTraceFile();
        return kStartupFailedExitCode;
    }

    const Settings settings = loadPlayerSettings(line);
    fullScreen = startingScreenMode(line, settings);
    recordStartingScreenMode(fullScreen);

    PlatformConfig config;
    config.tape = !line.record.empty() ? Tape::Record : !line.watch.empty() ? Tape::Play : Tape::None;
    config.logCalls = traceFileOpen();
    config.musicGain = musicGain(settings);
    config.effectsGain = effectsGain(settings);
    config.maxFps = settings.maxFps;
    config.vsync = settings.vsync;
    config.startFullScreen = fullScreen;
    GameRun run;
    if (traceFileOpen())
        run.afterFrame = traceFrame;
    // Watching a recording is not the player choosing a mode.
    if (line.watch.empty())
        run.screenModeChosen = rememberScreenMode;
    int exitCode = platformStart(config) ? runKestrelon(run) : kStartupFailedExitCode;
    if (!line.watch.empty() && exitCode != kStartupFailedExitCode) {
        // However the recorded session ended, watching it ends well, unless
        // the recording turned out damaged (said already).
        if (!playbackStoppedByViewer() && !playbackFoundDamage())
            std::fprintf(stderr, "kestrelon: the recording %s ends here\n", line.watch.c_str());
        exitCode = playbackFoundDamage() ? kStartupFailedExitCode : 0;
    }
    finishPlayback();
    platformStop();
    // What was asked to be written and could not be fails the run.
    const bool recorded = finishRecording();
    const bool traced = closeTraceFile();
    if (!recorded || !traced || aWriteFailed())
        exitCode = kWriteFailedExitCode;
    return exitCode;
}
