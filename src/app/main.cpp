// Kestrelon: the real game, on SDL in a window.
#include "app/command_line.h"
#include "app/game_main.h"
#include "platform/platform.h"

#include <cstdio>

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
    PlatformConfig config;
    int exitCode = platformStart(config) ? runKestrelon(GameRun{}) : kStartupFailedExitCode;
    platformStop();
    return exitCode;
}
