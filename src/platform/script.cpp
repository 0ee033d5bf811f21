// The replay script parser. Strict: anything it does not know stops the run
// before it starts, so a typo never silently plays a different game.
#include "platform/script.h"

#include "platform/keys.h"
#include "platform/replay_text.h"

namespace {

struct NamedEvent {
    std::string_view name;
    ScriptEvent event;
};

constexpr NamedEvent kEvents[] = {
    {"@CLOSE", ScriptEvent::Close},         {"@FOCUS-LOST", ScriptEvent::FocusLost},
    {"@FOCUS-GAINED", ScriptEvent::FocusGained}, {"@MINIMIZE", ScriptEvent::Minimize},
    {"@RESTORE", ScriptEvent::Restore},     {"@DRIVER-ERROR", ScriptEvent::DriverError},
    {"@TARGETS-RESET", ScriptEvent::TargetsReset},
};
constexpr std::string_view kLost = "@DEVICE-LOST=";

bool parseEvent(std::string_view token, ScriptStep& step)
{
    for (const NamedEvent& named : kEvents) {
        if (token == named.name) {
            step.events.push_back(named.event);
            return true;
        }
    }
    if (token.starts_with(kLost)) {
        int64_t tests = 0;
        if (!parseNumber(token.substr(kLost.size()), tests) || tests < 0 || tests > 1000000)
            return false;
        step.events.push_back(ScriptEvent::DeviceLost);
        step.deviceLostTests = static_cast<int>(tests);
        return true;
    }
    return false;
}

bool parsePad(std::string_view value, ScriptStep& step)
{
    size_t comma = value.find(',');
    if (comma == std::string_view::npos)
        return false;
    int64_t x = 0, y = 0;
    if (!parseNumber(value.substr(0, comma), x) || !parseNumber(value.substr(comma + 1), y))
        return false;
    if (x < -32768 || x > 32767 || y < -32768 || y > 32767)
        return false;
    step.padSet = true;
    step.padX = static_cast<int16_t>(x);
    step.padY = static_cast<int16_t>(y);
    return true;
}

// Returns an empty string when the line's words parsed, else what was wrong.
std::string parseWords(const std::vector<std::string_view>& words, ScriptStep& step)
{
    size_t first = 0;
    if (isRepeatWord(words[0])) {
        uint64_t repeat = 0;
        if (!parseRepeat(words[0], repeat))
            return "bad repeat count " + quoted(words[0]);
        step.repeat = static_cast<int64_t>(repeat);
        first = 1;
    }
    if (first == words.size())
        return "a repeat count needs something to repeat (use \".\" for no keys)";
    bool nothingHeld = false;
    for (size_t i = first; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == ".") {
            nothingHeld = true;
        } else if (word.starts_with("PAD=")) {
            if (!parsePad(word.substr(4), step))
                return "bad stick value " + quoted(word) + " (PAD=x,y from -32768 to 32767)";
        } else if (word.starts_with("@")) {
            if (!parseEvent(word, step))
                return "unknown event " + quoted(word);
        } else {
            int code = keyCodeForName(word.data(), static_cast<int>(word.size()));
            if (code < 0)
                return "unknown key " + quoted(word);
            step.keysDown.push_back(static_cast<uint8_t>(code));
        }
    }
    if (nothingHeld && !step.keysDown.empty())
        return "\".\" means no keys held; it cannot stand with key names";
    return {};
}

} // namespace

bool parseReplayScript(std::string_view text, std::vector<ScriptStep>& steps, std::string& error)
{
    steps.clear();
    LineSource source = linesOfText(text);
    std::string_view line;
    for (;;) {
        const LineSource::Got got = nextLine(source, line);
        if (got == LineSource::Got::End)
            return true;
        std::string problem;
        ScriptStep step;
        step.line = source.number;
        if (got == LineSource::Got::TooLong) {
            problem = "longer than " + std::to_string(kMaxLineBytes) + " bytes";
        } else {
            const std::vector<std::string_view> words = lineWords(line);
            if (words.empty())
                continue;
            problem = parseWords(words, step);
        }
        if (!problem.empty()) {
            error = lineProblem(source.number, problem);
            steps.clear();
            return false;
        }
        steps.push_back(std::move(step));
    }
}

std::string printReplayScript(const std::vector<ScriptStep>& steps)
{
    std::string out;
    for (const ScriptStep& step : steps) {
        std::string line;
        auto word = [&](std::string_view text) {
            if (!line.empty())
                line += ' ';
            line += text;
        };
        if (step.repeat > 1)
            word(std::to_string(step.repeat) + "*");
        for (uint8_t code : step.keysDown)
            for (int k = 0; k < kKeyCount; ++k)
                if (kKeys[k].code == code)
                    word(kKeys[k].name);
        if (step.padSet)
            word("PAD=" + std::to_string(step.padX) + "," + std::to_string(step.padY));
        for (ScriptEvent event : step.events) {
            if (event == ScriptEvent::DeviceLost)
                word(std::string(kLost) + std::to_string(step.deviceLostTests));
            for (const NamedEvent& named : kEvents)
                if (named.event == event)
                    word(named.name);
        }
        if (step.keysDown.empty() && !step.padSet && step.events.empty())
            word(".");
        out += line + "\n";
    }
    return out;
}
