// Kestrelon: the real game, on SDL in a window; or a recording of it,
// watched in the window.
#include "app/command_line.h"
#include "app/game_main.h"
#include "app/trace.h"
#include "platform/platform.h"
#include "platform/recorder.h"
#include "platform/recording.h"

#include <cstdio>
#include <string>

namespace {

std::FILE* traceFile = nullptr;
int64_t framesTraced = 0;
std::string traceLine;

void traceFrame()
{
    traceLine.clear();
    appendTraceLine(traceLine, ++framesTraced, false);
    std::fwrite(traceLine.data(), 1, traceLine.size(), traceFile);
    recorderBeginCall();
}

// Opens what the command line names before anything starts, so that a file
// that cannot be had ends the game before its window opens.
bool openFiles(const CommandLine& line)
{
    std::string error;
    if (!line.record.empty() && !startRecording(line.record, error)) {
        std::fprintf(stderr, "kestrelon: %s\n", error.c_str());
        return false;
    }
    if (!line.watch.empty() && !startPlayback(line.watch, error)) {
        std::fprintf(stderr, "kestrelon: %s\n", error.c_str());
        return false;
    }
    if (!line.trace.empty() && !(traceFile = std::fopen(line.trace.c_str(), "wb"))) {
        std::fprintf(stderr, "kestrelon: cannot write the trace %s\n", line.trace.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts(kVersionText);
        return 0;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "kestrelon: %s\nTry 'kestrelon --help' for more information.\n", line.problem.c_str());
        return kBadCommandLineExitCode;
    case CommandLine::Action::Play:
        break;
    }
    if (!openFiles(line))
        return kStartupFailedExitCode;

    PlatformConfig config;
    config.tape = !line.record.empty() ? Tape::Record : !line.watch.empty() ? Tape::Play : Tape::None;
    config.record = traceFile != nullptr;
    GameRun run;
    if (traceFile)
        run.afterFrame = traceFrame;
    int exitCode = platformStart(config) ? runKestrelon(run) : kStartupFailedExitCode;
    if (!line.record.empty())
        finishRecording();
    if (!line.watch.empty() && exitCode != kStartupFailedExitCode) {
        // However the recorded session ended, watching it ends well.
        if (!playbackStoppedByViewer())
            std::fprintf(stderr, "kestrelon: the recording %s ends here\n", line.watch.c_str());
        exitCode = 0;
    }
    platformStop();
    if (traceFile)
        std::fclose(traceFile);
    return exitCode;
}
