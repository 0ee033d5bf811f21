// The replay script parser. Strict: anything it does not know stops the run
// before it starts, so a typo never silently plays a different game.
#include "platform/script.h"

#include "platform/keys.h"

#include <charconv>
#include <limits>

namespace {

constexpr int64_t kMaxRepeat = 100000000;

bool parseInt(std::string_view text, int64_t& value)
{
    if (text.empty())
        return false;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseEvent(std::string_view token, ScriptStep& step)
{
    struct Named { std::string_view name; ScriptEvent event; };
    static constexpr Named kEvents[] = {
        {"@CLOSE", ScriptEvent::Close},         {"@FOCUS-LOST", ScriptEvent::FocusLost},
        {"@FOCUS-GAINED", ScriptEvent::FocusGained}, {"@MINIMIZE", ScriptEvent::Minimize},
        {"@RESTORE", ScriptEvent::Restore},     {"@DRIVER-ERROR", ScriptEvent::DriverError},
        {"@TARGETS-RESET", ScriptEvent::TargetsReset},
    };
    for (const Named& named : kEvents) {
        if (token == named.name) {
            step.events.push_back(named.event);
            return true;
        }
    }
    constexpr std::string_view kLost = "@DEVICE-LOST=";
    if (token.starts_with(kLost)) {
        int64_t tests = 0;
        if (!parseInt(token.substr(kLost.size()), tests) || tests < 0 || tests > 1000000)
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
    if (!parseInt(value.substr(0, comma), x) || !parseInt(value.substr(comma + 1), y))
        return false;
    if (x < -32768 || x > 32767 || y < -32768 || y > 32767)
        return false;
    step.padSet = true;
    step.padX = static_cast<int16_t>(x);
    step.padY = static_cast<int16_t>(y);
    return true;
}

// Returns an empty string when the line parsed, else what was wrong.
std::string parseLine(std::string_view line, ScriptStep& step)
{
    bool first = true;
    bool nothingHeld = false;
    bool anything = false;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at >= line.size())
            break;
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        std::string_view token = line.substr(at, end - at);
        at = end;
        if (first && token.size() > 1 && token.back() == '*') {
            int64_t repeat = 0;
            if (!parseInt(token.substr(0, token.size() - 1), repeat) || repeat < 1 || repeat > kMaxRepeat)
                return "bad repeat count \"" + std::string(token) + "\"";
            step.repeat = repeat;
            first = false;
            continue;
        }
        first = false;
        anything = true;
        if (token == ".") {
            nothingHeld = true;
        } else if (token.starts_with("PAD=")) {
            if (!parsePad(token.substr(4), step))
                return "bad stick value \"" + std::string(token) + "\" (PAD=x,y from -32768 to 32767)";
        } else if (token.starts_with("@")) {
            if (!parseEvent(token, step))
                return "unknown event \"" + std::string(token) + "\"";
        } else {
            int code = keyCodeForName(token.data(), static_cast<int>(token.size()));
            if (code < 0)
                return "unknown key \"" + std::string(token) + "\"";
            step.keysDown.push_back(static_cast<uint8_t>(code));
        }
    }
    if (!anything)
        return "a repeat count needs something to repeat (use \".\" for no keys)";
    if (nothingHeld && !step.keysDown.empty())
        return "\".\" means no keys held; it cannot stand with key names";
    return {};
}

} // namespace

bool parseReplayScript(std::string_view text, std::vector<ScriptStep>& steps, std::string& error)
{
    steps.clear();
    int lineNumber = 0;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        ++lineNumber;
        at = end + 1;
        if (size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            if (end == text.size())
                break;
            continue;
        }
        ScriptStep step;
        step.line = lineNumber;
        std::string problem = parseLine(line, step);
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            steps.clear();
            return false;
        }
        steps.push_back(std::move(step));
        if (end == text.size())
            break;
    }
    return true;
}
