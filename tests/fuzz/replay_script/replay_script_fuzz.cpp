// Fuzz target for the replay script parser: any bytes either parse or are
// refused with the line named, and whatever parses holds only known keys,
// sane repeat counts and stick values.
#include "platform/script.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ScriptStep> steps;
    std::string error;
    bool parsed = parseReplayScript(std::string_view(reinterpret_cast<const char*>(data), size), steps, error);
    if (!parsed) {
        check(steps.empty());
        check(error.rfind("line ", 0) == 0);
        return 0;
    }
    int previousLine = 0;
    for (const ScriptStep& step : steps) {
        check(step.repeat >= 1 && step.repeat <= 100000000);
        check(step.line > previousLine);
        previousLine = step.line;
        if (step.deviceLostTests != 0)
            check(step.deviceLostTests > 0 && step.deviceLostTests <= 1000000);
    }
    return 0;
}
