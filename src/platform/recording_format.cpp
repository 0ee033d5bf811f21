// Parsing and printing the recording's lines; pure functions.
#include "platform/recording_format.h"

#include "platform/keys.h"
#include "platform/replay_text.h"

#include <algorithm>
#include <cstdio>

namespace {

struct MessageName {
    const char* name;
    MessageType type;
    SystemMessage::Lost lost;
};

const MessageName kMessages[] = {
    {"CLOSE", MessageType::Close, SystemMessage::Lost::Nothing},
    {"MINIMIZE", MessageType::SizeMinimized, SystemMessage::Lost::Nothing},
    {"RESTORE", MessageType::SizeRestored, SystemMessage::Lost::Nothing},
    {"FOCUS-GAINED", MessageType::SetFocus, SystemMessage::Lost::Nothing},
    {"FOCUS-LOST", MessageType::KillFocus, SystemMessage::Lost::Nothing},
    {"TARGETS-RESET", MessageType::ActivateApp, SystemMessage::Lost::RenderTargets},
    {"DEVICE-RESET", MessageType::ActivateApp, SystemMessage::Lost::WholeDevice},
};

const char* nameOf(InputResult result)
{
    switch (result) {
    case InputResult::Ok: return "ok";
    case InputResult::NotAcquired: return "not-acquired";
    case InputResult::InputLost: return "lost";
    }
    return "ok";
}

bool inputResultNamed(std::string_view name, InputResult& result)
{
    for (InputResult candidate : {InputResult::Ok, InputResult::NotAcquired, InputResult::InputLost})
        if (name == nameOf(candidate)) {
            result = candidate;
            return true;
        }
    return false;
}

// A run's count in front of its answer: "N*" as a word of its own, or
// glued to the answer ("40*y"). `answer` is what follows.
bool runCount(std::string_view word, uint64_t& count, std::string_view& answer)
{
    count = 1;
    answer = word;
    const size_t star = word.find('*');
    if (star == std::string_view::npos)
        return true;
    answer = word.substr(star + 1);
    return parseRepeat(word.substr(0, star + 1), count);
}

using Words = std::vector<std::string_view>;

std::string keyboardLine(const Words& words, Recording& recording)
{
    Run<KeyboardRead> run;
    run.count = 1;
    size_t first = 1;
    if (words.size() > 1 && words[1].ends_with('*')) {
        if (!parseRepeat(words[1], run.count))
            return "bad repeat count " + quoted(words[1]);
        first = 2;
    }
    if (first >= words.size())
        return "a keyboard read names its keys (\".\" for none)";
    if (words[first] == "@NOT-ACQUIRED" || words[first] == "@LOST") {
        if (words.size() != first + 1)
            return "a keyboard that could not be read holds no keys";
        run.value.result = words[first] == "@LOST" ? InputResult::InputLost : InputResult::NotAcquired;
    } else if (words[first] == ".") {
        if (words.size() != first + 1)
            return "\".\" means no keys held; it cannot stand with key names";
    } else {
        for (size_t i = first; i < words.size(); ++i) {
            const int code = keyCodeForName(words[i].data(), static_cast<int>(words[i].size()));
            if (code < 0)
                return "unknown key " + quoted(words[i]);
            run.value.keys.push_back(static_cast<uint8_t>(code));
        }
    }
    recording.keyboard.push_back(std::move(run));
    return {};
}

std::string padLine(const Words& words, Recording& recording)
{
    Run<PadRead> run;
    run.count = 1;
    size_t value = 1;
    if (words.size() == 3) {
        if (!parseRepeat(words[1], run.count))
            return "bad repeat count " + quoted(words[1]);
        value = 2;
    } else if (words.size() != 2) {
        return "a controller read is \"-\" or X,Y, with a repeat count in front";
    }
    const std::string_view read = words[value];
    if (read != "-") {
        const size_t comma = read.find(',');
        int32_t x = 0, y = 0;
        if (comma == std::string_view::npos || !parseNumber(read.substr(0, comma), x)
            || !parseNumber(read.substr(comma + 1), y) || x < -32768 || x > 32767 || y < -32768 || y > 32767)
            return "bad stick value " + quoted(read);
        run.value = PadRead{true, static_cast<int16_t>(x), static_cast<int16_t>(y)};
    }
    recording.pads.push_back(run);
    return {};
}

std::string channelLine(const Words& words, Recording& recording)
{
    for (size_t i = 1; i < words.size(); ++i) {
        Run<char> run;
        std::string_view answer;
        if (!runCount(words[i], run.count, answer) || answer.size() != 1
            || (answer[0] != 'y' && answer[0] != 'n' && answer[0] != '-'))
            return "bad channel answer " + quoted(words[i]) + " (y, n or -)";
        run.value = answer[0];
        recording.channels.push_back(run);
    }
    return {};
}

std::string windowLine(const Words& words, Recording& recording)
{
    WindowRead read;
    if (words.size() < 2 || words.size() > 3 || !parseNumber(words[1], read.nothingBefore)
        || read.nothingBefore > kMaxRepeat)
        return "a window line is a count, then perhaps a message";
    if (words.size() == 3) {
        const MessageName* found = nullptr;
        for (const MessageName& message : kMessages)
            if (words[2] == message.name)
                found = &message;
        if (!found)
            return "unknown window message " + quoted(words[2]);
        read.hasMessage = true;
        read.message.message = {found->type, found->type == MessageType::ActivateApp ? 1 : 0};
        read.message.lost = found->lost;
    }
    recording.window.push_back(read);
    return {};
}

std::string soundLine(std::string_view line, const Words& words, Recording& recording)
{
    SoundAnswer answer;
    if (words.size() >= 2 && words[1] == "name") {
        answer.kind = SoundAnswer::Kind::Name;
        answer.name = std::string(restAfterWords(line, 2));
        recording.soundSetUp.push_back(std::move(answer));
        return {};
    }
    struct Kind {
        std::string_view name;
        SoundAnswer::Kind kind;
        size_t values;
    };
    static constexpr Kind kKinds[] = {{"version", SoundAnswer::Kind::Version, 1},
                                      {"drivers", SoundAnswer::Kind::Drivers, 1},
                                      {"caps", SoundAnswer::Kind::Caps, 2},
                                      {"open", SoundAnswer::Kind::Open, 1}};
    for (const Kind& kind : kKinds) {
        if (words.size() < 2 || words[1] != kind.name)
            continue;
        if (words.size() != 2 + kind.values || !parseNumber(words[2], answer.first)
            || (kind.values == 2 && !parseNumber(words[3], answer.second)))
            return "bad sound " + std::string(kind.name) + " answer";
        answer.kind = kind.kind;
        recording.soundSetUp.push_back(std::move(answer));
        return {};
    }
    return "unknown sound answer";
}

std::string endedLine(const Words& words, Recording& recording)
{
    EndedAnswers answers;
    if (words.size() < 2 || words.size() > 3 || !parseNumber(words[1], answers.noes) || answers.noes > kMaxRepeat
        || (words.size() == 3 && words[2] != "yes") || recording.yesSeen)
        return "bad \"ended\" line";
    answers.yes = words.size() == 3;
    recording.yesSeen = answers.yes;
    recording.ended.push_back(answers);
    return {};
}

void appendNumber(std::string& out, uint64_t value)
{
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void appendRunCount(std::string& out, uint64_t count)
{
    if (count > 1) {
        appendNumber(out, count);
        out += '*';
    }
}

} // namespace

bool looksLikeRecording(std::string_view text) { return text.starts_with("# kestrelon recording "); }

std::string checkRecordingHeader(std::string_view line)
{
    if (line == kRecordingHeader)
        return {};
    return "not a kestrelon recording of version 1 (\"" + std::string(kRecordingHeader) + "\" expected)";
}

std::string parseRecordingLine(std::string_view line, Recording& recording)
{
    if (line.starts_with(kMadeByComment) && recording.madeBy.empty())
        recording.madeBy = std::string(line.substr(std::string_view(kMadeByComment).size()));
    const Words words = lineWords(line);
    if (words.empty())
        return {};
    if (recording.finished)
        return "nothing may follow \"end\"";
    const std::string_view tag = words[0];
    if (tag == "scores") {
        if (recording.scoresClosed)
            return "the score table's lines stand together";
        recording.scoresSeen = true;
        recording.scoreTable += std::string(restAfterWords(line, 1));
        recording.scoreTable += '\n';
        return {};
    }
    recording.scoresClosed = recording.scoresSeen;
    if (tag == "t") {
        for (size_t i = 1; i < words.size(); ++i) {
            uint32_t microseconds = 0;
            if (!parseNumber(words[i], microseconds))
                return "bad clock step " + quoted(words[i]);
            recording.clock.push_back(microseconds);
        }
        return {};
    }
    if (tag == "k")
        return keyboardLine(words, recording);
    if (tag == "p")
        return padLine(words, recording);
    if (tag == "s")
        return channelLine(words, recording);
    if (tag == "m")
        return windowLine(words, recording);
    if (tag == "sound")
        return soundLine(line, words, recording);
    if (tag == "acquire") {
        InputResult result;
        if (words.size() != 2 || !inputResultNamed(words[1], result))
            return "an acquisition is ok, not-acquired or lost";
        recording.acquisitions.push_back(result);
        return {};
    }
    if (tag == "reset") {
        if (words.size() != 2 || (words[1] != "0" && words[1] != "1"))
            return "a reset is 1 (done) or 0 (failed)";
        recording.resets.push_back(words[1] == "1");
        return {};
    }
    if (tag == "ended")
        return endedLine(words, recording);
    if (tag == "screen") {
        if (words.size() != 2 || (words[1] != "fullscreen" && words[1] != "windowed"))
            return "the starting screen mode is fullscreen or windowed";
        if (recording.screenSeen)
            return "the starting screen mode is given twice";
        recording.screenSeen = true;
        recording.startsFullScreen = words[1] == "fullscreen";
        return {};
    }
    if (tag == "c") {
        StateCheck check;
        if (words.size() != 3 || !parseNumber(words[1], check.frame) || words[2].size() != 8
            || std::from_chars(words[2].data(), words[2].data() + 8, check.hash, 16).ptr != words[2].data() + 8)
            return "a check is a frame and a hash of 8 hexadecimal digits";
        recording.checks.push_back(check);
        return {};
    }
    if (tag == "end") {
        if (words.size() != 1)
            return "\"end\" stands alone";
        recording.finished = true;
        return {};
    }
    return "unknown line " + quoted(tag);
}

bool readRecording(LineSource& source, Recording& recording, bool keepAnswers, std::string& error)
{
    recording = Recording{};
    std::string_view line;
    for (;;) {
        const LineSource::Got got = nextLine(source, line);
        if (got == LineSource::Got::End || (got == LineSource::Got::CutShort && source.number > 1))
            break;   // a last line cut short while being written is left out
        std::string problem = got == LineSource::Got::TooLong ? "longer than " + std::to_string(kMaxLineBytes) + " bytes"
                              : source.number == 1         ? checkRecordingHeader(line)
                                                           : parseRecordingLine(line, recording);
        if (problem.empty() && recording.scoreTable.size() > kLongestScoreTable)
            problem = "the score table is longer than a score file can be";
        if (!problem.empty()) {
            error = lineProblem(source.number, problem);
            return false;
        }
        if (!keepAnswers)
            recording.forgetAnswers();
    }
    if (source.number == 1) {
        error = lineProblem(1, "not a kestrelon recording (the file is empty)");
        return false;
    }
    return true;
}

bool parseRecording(std::string_view text, Recording& recording, std::string& error)
{
    LineSource source = linesOfText(text);
    return readRecording(source, recording, true, error);
}

std::string printScoreTable(std::string_view text)
{
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out += "scores ";
        out += line;
        out += '\n';
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return out;
}

std::string printSoundAnswer(const SoundAnswer& answer)
{
    std::string out = "sound ";
    switch (answer.kind) {
    case SoundAnswer::Kind::Version: out += "version " + std::to_string(answer.first); break;
    case SoundAnswer::Kind::Drivers: out += "drivers " + std::to_string(answer.first); break;
    case SoundAnswer::Kind::Caps: out += "caps " + std::to_string(answer.first) + " " + std::to_string(answer.second); break;
    case SoundAnswer::Kind::Name:
        out += "name ";
        // One line, whatever the device calls itself.
        for (char c : answer.name)
            out += c == '\n' || c == '\r' ? ' ' : c;
        break;
    case SoundAnswer::Kind::Open: out += "open " + std::to_string(answer.first); break;
    }
    out += '\n';
    return out;
}

std::string printClock(const std::vector<uint32_t>& steps)
{
    std::string out = "t";
    for (uint32_t step : steps) {
        out += ' ';
        appendNumber(out, step);
    }
    out += '\n';
    return out;
}

std::string printKeyboard(const Run<KeyboardRead>& run)
{
    std::string out = "k ";
    appendRunCount(out, run.count);
    if (run.count > 1)
        out += ' ';
    const KeyboardRead& read = run.value;
    if (read.result != InputResult::Ok) {
        out += read.result == InputResult::InputLost ? "@LOST" : "@NOT-ACQUIRED";
    } else if (read.keys.empty()) {
        out += '.';
    } else {
        bool first = true;
        for (uint8_t code : read.keys)
            for (int k = 0; k < kKeyCount; ++k)
                if (kKeys[k].code == code) {
                    if (!first)
                        out += ' ';
                    out += kKeys[k].name;
                    first = false;
                }
    }
    out += '\n';
    return out;
}

std::string printAcquisition(InputResult result) { return std::string("acquire ") + nameOf(result) + "\n"; }

std::string printPad(const Run<PadRead>& run)
{
    std::string out = "p ";
    appendRunCount(out, run.count);
    if (run.count > 1)
        out += ' ';
    if (!run.value.connected)
        out += '-';
    else
        out += std::to_string(run.value.x) + "," + std::to_string(run.value.y);
    out += '\n';
    return out;
}

std::string printChannels(const std::vector<Run<char>>& runs)
{
    std::string out = "s";
    for (const Run<char>& run : runs) {
        out += ' ';
        appendRunCount(out, run.count);
        out += run.value;
    }
    out += '\n';
    return out;
}

std::string printWindow(const WindowRead& read)
{
    std::string out = "m ";
    appendNumber(out, read.nothingBefore);
    if (read.hasMessage)
        for (const MessageName& known : kMessages)
            if (known.type == read.message.message.type && known.lost == read.message.lost) {
                out += ' ';
                out += known.name;
            }
    out += '\n';
    return out;
}

bool windowSystemSends(const SystemMessage& message)
{
    for (const MessageName& known : kMessages)
        if (known.type == message.message.type && known.lost == message.lost)
            return true;
    return false;
}

std::string printReset(bool done) { return done ? "reset 1\n" : "reset 0\n"; }

std::string printEnded(const EndedAnswers& answers)
{
    std::string out = "ended ";
    appendNumber(out, answers.noes);
    out += answers.yes ? " yes\n" : "\n";
    return out;
}

std::string printCheck(const StateCheck& check)
{
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", check.hash);
    return "c " + std::to_string(check.frame) + " " + hash + "\n";
}

std::string printRecording(const Recording& recording)
{
    std::string out = std::string(kRecordingHeader) + "\n";
    if (!recording.madeBy.empty())
        out += kMadeByComment + recording.madeBy + "\n";
    if (recording.scoresSeen)
        out += printScoreTable(recording.scoreTable);
    for (const SoundAnswer& answer : recording.soundSetUp)
        out += printSoundAnswer(answer);
    const std::vector<uint32_t> steps(recording.clock.begin(), recording.clock.end());
    for (size_t at = 0; at < steps.size(); at += 64)
        out += printClock({steps.begin() + at, steps.begin() + std::min(at + 64, steps.size())});
    for (const auto& run : recording.keyboard)
        out += printKeyboard(run);
    for (InputResult result : recording.acquisitions)
        out += printAcquisition(result);
    for (const auto& run : recording.pads)
        out += printPad(run);
    if (!recording.channels.empty())
        out += printChannels({recording.channels.begin(), recording.channels.end()});
    for (const WindowRead& read : recording.window)
        out += printWindow(read);
    for (bool done : recording.resets)
        out += printReset(done);
    for (const EndedAnswers& answers : recording.ended)
        out += printEnded(answers);
    for (const StateCheck& check : recording.checks)
        out += printCheck(check);
    if (recording.finished)
        out += "end\n";
    return out;
}
