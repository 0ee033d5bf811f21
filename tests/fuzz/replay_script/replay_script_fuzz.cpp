// Fuzz target for the two parsers of replay input, scripts and recordings:
// any bytes either parse or are refused with the line named (its bad bytes
// shown escaped), whatever parses holds only known keys, sane repeat counts
// and stick values and prints back to itself, and a file read a few bytes at
// a time gives the same lines as the text read whole.
#include "platform/keys.h"
#include "platform/recording_format.h"
#include "platform/replay_text.h"
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

// The same text read from a file, a few bytes at a time as the playback
// reads a recording, line for line as read from memory.
void checkReadFromAFile(std::string_view text)
{
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    if (!file)
        return;
    LineSource fromFile = linesOfFile(file);
    fromFile.blockBytes = 1 + text.size() % 7;
    LineSource fromMemory = linesOfText(text);
    for (;;) {
        std::string_view a, b;
        const LineSource::Got got = nextLine(fromFile, a);
        check(nextLine(fromMemory, b) == got);
        if (got == LineSource::Got::End || got == LineSource::Got::TooLong)
            break;
        check(a == b);
        check(a.size() <= kMaxLineBytes);
    }
    std::fclose(file);
}

void checkRecording(std::string_view text)
{
    if (!text.empty())
        checkReadFromAFile(text);
    Recording recording;
    std::string error;
    if (!parseRecording(text, recording, error)) {
        check(error.rfind("line ", 0) == 0);
        for (unsigned char c : error)
            check(c >= 0x20 && c < 0x7F);   // bad bytes are shown escaped
        return;
    }
    check(text.starts_with(kRecordingHeader));
    for (const auto& run : recording.keyboard) {
        check(run.count >= 1 && run.count <= kMaxRepeat);
        for (uint8_t code : run.value.keys)
            check(knownKey(code));
        check(run.value.result == InputResult::Ok || run.value.keys.empty());
    }
    for (const auto& run : recording.pads)
        check(run.count >= 1 && run.count <= kMaxRepeat);
    for (const auto& run : recording.channels)
        check(run.count >= 1 && (run.value == 'y' || run.value == 'n' || run.value == '-'));
    for (const WindowRead& read : recording.window)
        check(read.nothingBefore <= kMaxRepeat && (read.hasMessage || read.message.lost == SystemMessage::Lost::Nothing));
    // Printed and read back, it prints the same (a device's name or a score
    // line may lose a stray CR on the way, as the writer drops them too).
    const std::string printed = printRecording(recording);
    Recording again;
    check(parseRecording(printed, again, error));
    check(printRecording(again) == printed);
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
    // Printed and read back, the same steps.
    std::vector<ScriptStep> again;
    check(parseReplayScript(printReplayScript(steps), again, error) && again.size() == steps.size());
    for (size_t i = 0; i < steps.size(); ++i)
        check(again[i].keysDown == steps[i].keysDown && again[i].padSet == steps[i].padSet
              && again[i].padX == steps[i].padX && again[i].padY == steps[i].padY && again[i].events == steps[i].events
              && again[i].deviceLostTests == steps[i].deviceLostTests && again[i].repeat == steps[i].repeat);
    int previousLine = 0;
    for (const ScriptStep& step : steps) {
        check(step.repeat >= 1 && static_cast<uint64_t>(step.repeat) <= kMaxRepeat);
        check(step.line > previousLine);
        previousLine = step.line;
        if (step.deviceLostTests != 0)
            check(step.deviceLostTests > 0 && step.deviceLostTests <= 1000000);
    }
    return 0;
}
