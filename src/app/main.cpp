// Kestrelon: the real game, on SDL in a window.
#include "app/game_main.h"
#include "platform/platform.h"

int main()
{
    PlatformConfig config;
    if (!platformStart(config))
        return kStartupFailedExitCode;
    int exitCode = runKestrelon(GameRun{});
    platformStop();
    return exitCode;
}
