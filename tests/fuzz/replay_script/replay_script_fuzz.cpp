// Fuzz target for the two parsers of replay input, scripts and recordings:
// any bytes either parse or are refused with the line named, and whatever
// parses holds only known keys, sane repeat counts and stick values.
#include "platform/keys.h"
#include "platform/recording.h"
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

bool knownKey(uint8_t code)
{
    for (int k = 0; k < kKeyCount; ++k)
        if (kKeys[k].code == code)
            return true;
    return false;
}

void checkRecording(std::string_view text)
{
    Recording recording;
    std::string error;
    if (!parseRecording(text, recording, error)) {
        check(error.rfind("line ", 0) == 0);
        return;
    }
    check(text.starts_with(kRecordingHeader));
    for (const auto& run : recording.keyboard) {
        check(run.count >= 1 && run.count <= 1000000000000ull);
        for (uint8_t code : run.value.keys)
            check(knownKey(code));
        check(run.value.result == InputResult::Ok || run.value.keys.empty());
    }
    for (const auto& run : recording.pads)
        check(run.count >= 1 && run.count <= 1000000000000ull);
    for (const auto& run : recording.channels)
        check(run.count >= 1 && (run.value == 'y' || run.value == 'n' || run.value == '-'));
    for (const WindowRead& read : recording.window)
        check(read.nothingBefore <= 1000000000000ull && (read.hasMessage || read.message.lost == SystemMessage::Lost::Nothing));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkRecording(text);
    std::vector<ScriptStep> steps;
    std::string error;
    bool parsed = parseReplayScript(text, steps, error);
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
