// kestrelon-replay: see replay.h.
#include "replay.h"

#include "platform/platform.h"

int main(int argc, char** argv)
{
    useStartingConsole();
    argumentsInUtf8(argc, argv);
    return runReplay(argc, argv);
}
