// Reading and writing recordings. The writer keeps the runs of equal
// answers open until something else comes (or a flush), so a long stretch
// of the same keys costs one line.
#include "platform/recording.h"

#include "platform/keys.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <time.h>

namespace {

constexpr uint64_t kMaxRun = 1000000000000ull;
constexpr int kClockPerLine = 64;
constexpr int64_t kFlushMicroseconds = 1000000;

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

// --------------------------------------------------------------------------
// Parsing.

std::vector<std::string_view> tokens(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > at)
            out.push_back(line.substr(at, end - at));
        at = end;
    }
    return out;
}

template <typename Number>
bool number(std::string_view text, Number& value)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "N*" in front of an answer: its count, or 1. `rest` is what follows.
bool runCount(std::string_view token, uint64_t& count, std::string_view& rest)
{
    count = 1;
    rest = token;
    size_t star = token.find('*');
    if (star == std::string_view::npos)
        return true;
    rest = token.substr(star + 1);
    return number(token.substr(0, star), count) && count >= 1 && count <= kMaxRun;
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

// Each returns an empty string when the line parsed, else what is wrong.
// The line after its first `count` words.
std::string_view restAfterWords(std::string_view line, int count)
{
    size_t at = 0;
    for (int word = 0; word < count; ++word) {
        at = line.find_first_not_of(" \t", at);
        at = line.find_first_of(" \t", at);
        if (at == std::string_view::npos)
            return {};
    }
    return line.substr(at + 1);
}

std::string keyboardLine(const std::vector<std::string_view>& words, Recording& recording)
{
    Run<KeyboardRead> run;
    run.count = 1;
    size_t first = 1;
    if (words.size() > 1 && words[1].ends_with('*')) {
        std::string_view rest;
        if (!runCount(words[1], run.count, rest) || !rest.empty())
            return "bad repeat count \"" + std::string(words[1]) + "\"";
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
            int code = keyCodeForName(words[i].data(), static_cast<int>(words[i].size()));
            if (code < 0)
                return "unknown key \"" + std::string(words[i]) + "\"";
            run.value.keys.push_back(static_cast<uint8_t>(code));
        }
    }
    recording.keyboard.push_back(std::move(run));
    return {};
}

std::string padLine(const std::vector<std::string_view>& words, Recording& recording)
{
    Run<PadRead> run;
    run.count = 1;
    size_t value = 1;
    if (words.size() == 3) {
        std::string_view rest;
        if (!runCount(words[1], run.count, rest) || !words[1].ends_with('*') || !rest.empty())
            return "bad repeat count \"" + std::string(words[1]) + "\"";
        value = 2;
    } else if (words.size() != 2) {
        return "a controller read is \"-\" or X,Y, with a repeat count in front";
    }
    const std::string_view read = words[value];
    if (read != "-") {
        size_t comma = read.find(',');
        int32_t x = 0, y = 0;
        if (comma == std::string_view::npos || !number(read.substr(0, comma), x) || !number(read.substr(comma + 1), y)
            || x < -32768 || x > 32767 || y < -32768 || y > 32767)
            return "bad stick value \"" + std::string(read) + "\"";
        run.value = PadRead{true, static_cast<int16_t>(x), static_cast<int16_t>(y)};
    }
    recording.pads.push_back(run);
    return {};
}

std::string channelLine(const std::vector<std::string_view>& words, Recording& recording)
{
    for (size_t i = 1; i < words.size(); ++i) {
        Run<char> run;
        std::string_view value;
        if (!runCount(words[i], run.count, value) || value.size() != 1
            || (value[0] != 'y' && value[0] != 'n' && value[0] != '-'))
            return "bad channel answer \"" + std::string(words[i]) + "\" (y, n or -)";
        run.value = value[0];
        recording.channels.push_back(run);
    }
    return {};
}

std::string windowLine(const std::vector<std::string_view>& words, Recording& recording)
{
    WindowRead read;
    if (words.size() < 2 || words.size() > 3 || !number(words[1], read.nothingBefore) || read.nothingBefore > kMaxRun)
        return "a window line is a count, then perhaps a message";
    if (words.size() == 3) {
        const MessageName* found = nullptr;
        for (const MessageName& message : kMessages)
            if (words[2] == message.name)
                found = &message;
        if (!found)
            return "unknown window message \"" + std::string(words[2]) + "\"";
        read.hasMessage = true;
        read.message.message = {found->type, found->type == MessageType::ActivateApp ? 1 : 0};
        read.message.lost = found->lost;
    }
    recording.window.push_back(read);
    return {};
}

std::string soundLine(std::string_view line, const std::vector<std::string_view>& words, Recording& recording)
{
    SoundAnswer answer;
    if (words.size() >= 2 && words[1] == "name") {
        answer.kind = SoundAnswer::Kind::Name;
        answer.name = std::string(restAfterWords(line, 2));
        recording.soundSetUp.push_back(std::move(answer));
        return {};
    }
    struct Kind { std::string_view name; SoundAnswer::Kind kind; size_t values; };
    static constexpr Kind kKinds[] = {{"version", SoundAnswer::Kind::Version, 1},
                                      {"drivers", SoundAnswer::Kind::Drivers, 1},
                                      {"caps", SoundAnswer::Kind::Caps, 2},
                                      {"open", SoundAnswer::Kind::Open, 1}};
    for (const Kind& kind : kKinds) {
        if (words.size() < 2 || words[1] != kind.name)
            continue;
        if (words.size() != 2 + kind.values || !number(words[2], answer.first)
            || (kind.values == 2 && !number(words[3], answer.second)))
            return "bad sound " + std::string(kind.name) + " answer";
        answer.kind = kind.kind;
        recording.soundSetUp.push_back(std::move(answer));
        return {};
    }
    return "unknown sound answer";
}

std::string parseLine(std::string_view line, Recording& recording)
{
    std::vector<std::string_view> words = tokens(line);
    const std::string_view tag = words[0];
    if (recording.finished)
        return "nothing may follow \"end\"";
    if (tag == "t") {
        for (size_t i = 1; i < words.size(); ++i) {
            uint32_t microseconds = 0;
            if (!number(words[i], microseconds))
                return "bad clock step \"" + std::string(words[i]) + "\"";
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
    if (tag == "scores") {
        recording.scoreTable += std::string(restAfterWords(line, 1));
        recording.scoreTable += '\n';
        return {};
    }
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
    if (tag == "ended") {
        uint64_t noes = 0;
        if (words.size() < 2 || words.size() > 3 || !number(words[1], noes) || noes > kMaxRun
            || (words.size() == 3 && words[2] != "yes") || recording.ended)
            return "bad \"ended\" line";
        recording.notEnded += noes;
        recording.ended = words.size() == 3;
        return {};
    }
    if (tag == "end") {
        if (words.size() != 1)
            return "\"end\" stands alone";
        recording.finished = true;
        return {};
    }
    return "unknown line \"" + std::string(tag) + "\"";
}

// --------------------------------------------------------------------------
// Writing.

struct Writer {
    std::FILE* file = nullptr;
    std::string pending;           // lines not yet in the file
    std::string clockLine;
    int clockCount = 0;
    Run<KeyboardRead> keyboard;
    Run<PadRead> pad;
    Run<char> channel;
    std::string channelLine;
    uint64_t emptyWindowReads = 0;
    uint64_t notEnded = 0;
    int64_t lastFlush = 0;
    uint32_t sinceTimeCheck = 0;
};

Writer writer;

struct Playback {
    bool active = false;
    bool ranOut = false;
    Recording recording;
};

Playback playback;

int64_t monotonicMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
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

void closeKeyboardRun()
{
    if (writer.keyboard.count == 0)
        return;
    std::string& out = writer.pending;
    out += "k ";
    appendRunCount(out, writer.keyboard.count);
    if (writer.keyboard.count > 1)
        out += ' ';
    const KeyboardRead& read = writer.keyboard.value;
    if (read.result != InputResult::Ok) {
        out += read.result == InputResult::InputLost ? "@LOST" : "@NOT-ACQUIRED";
    } else if (read.keys.empty()) {
        out += '.';
    } else {
        for (size_t i = 0; i < read.keys.size(); ++i) {
            for (int k = 0; k < kKeyCount; ++k)
                if (kKeys[k].code == read.keys[i]) {
                    if (i)
                        out += ' ';
                    out += kKeys[k].name;
                }
        }
    }
    out += '\n';
    writer.keyboard.count = 0;
}

void closePadRun()
{
    if (writer.pad.count == 0)
        return;
    std::string& out = writer.pending;
    out += "p ";
    appendRunCount(out, writer.pad.count);
    if (writer.pad.count > 1)
        out += ' ';
    if (!writer.pad.value.connected) {
        out += '-';
    } else {
        out += std::to_string(writer.pad.value.x);
        out += ',';
        out += std::to_string(writer.pad.value.y);
    }
    out += '\n';
    writer.pad.count = 0;
}

void closeChannelRun()
{
    if (writer.channel.count == 0)
        return;
    if (!writer.channelLine.empty())
        writer.channelLine += ' ';
    appendRunCount(writer.channelLine, writer.channel.count);
    writer.channelLine += writer.channel.value;
    writer.channel.count = 0;
}

void closeChannelLine()
{
    closeChannelRun();
    if (writer.channelLine.empty())
        return;
    writer.pending += "s ";
    writer.pending += writer.channelLine;
    writer.pending += '\n';
    writer.channelLine.clear();
}

void closeClockLine()
{
    if (writer.clockCount == 0)
        return;
    writer.pending += writer.clockLine;
    writer.pending += '\n';
    writer.clockLine.clear();
    writer.clockCount = 0;
}

void closeWindowCount()
{
    if (writer.emptyWindowReads == 0)
        return;
    writer.pending += "m ";
    appendNumber(writer.pending, writer.emptyWindowReads);
    writer.pending += '\n';
    writer.emptyWindowReads = 0;
}

void closeEndedCount()
{
    if (writer.notEnded == 0)
        return;
    writer.pending += "ended ";
    appendNumber(writer.pending, writer.notEnded);
    writer.pending += '\n';
    writer.notEnded = 0;
}

// Everything open goes into the file, and the file to the system.
void flush()
{
    if (!writer.file)
        return;
    closeClockLine();
    closeKeyboardRun();
    closePadRun();
    closeChannelLine();
    closeWindowCount();
    closeEndedCount();
    std::fwrite(writer.pending.data(), 1, writer.pending.size(), writer.file);
    std::fflush(writer.file);
    writer.pending.clear();
    writer.lastFlush = monotonicMicroseconds();
}

// Called with every answer; looks at the time only now and then.
void flushWhenDue()
{
    if (++writer.sinceTimeCheck < 16)
        return;
    writer.sinceTimeCheck = 0;
    if (monotonicMicroseconds() - writer.lastFlush >= kFlushMicroseconds)
        flush();
}

} // namespace

bool looksLikeRecording(std::string_view text) { return text.starts_with("# kestrelon recording "); }

bool parseRecording(std::string_view text, Recording& recording, std::string& error)
{
    recording = Recording{};
    size_t at = 0;
    int lineNumber = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            break;   // cut short while being written: left out
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 1) {
            if (line != kRecordingHeader) {
                error = "line 1: not a kestrelon recording of version 1 (\"" + std::string(kRecordingHeader)
                        + "\" expected)";
                return false;
            }
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#')
            continue;
        std::string problem = parseLine(line, recording);
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
    }
    if (lineNumber == 0) {
        error = "line 1: not a kestrelon recording (the file is empty)";
        return false;
    }
    return true;
}

bool startRecording(const std::string& path, std::string& error)
{
    writer = Writer{};
    writer.file = std::fopen(path.c_str(), "wb");
    if (!writer.file) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        return false;
    }
    writer.pending = std::string(kRecordingHeader) + "\n# recorded by kestrelon 0.3\n";
    flush();
    return true;
}

void recordScoreTable(std::string_view text)
{
    if (!writer.file)
        return;   // no session is being recorded
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        writer.pending += "scores ";
        writer.pending += line;
        writer.pending += '\n';
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
}

void recordSoundAnswer(const SoundAnswer& answer)
{
    std::string& out = writer.pending;
    switch (answer.kind) {
    case SoundAnswer::Kind::Version: out += "sound version " + std::to_string(answer.first); break;
    case SoundAnswer::Kind::Drivers: out += "sound drivers " + std::to_string(answer.first); break;
    case SoundAnswer::Kind::Caps:
        out += "sound caps " + std::to_string(answer.first) + " " + std::to_string(answer.second);
        break;
    case SoundAnswer::Kind::Name: {
        out += "sound name ";
        // One line, whatever the device calls itself.
        for (char c : answer.name)
            out += c == '\n' || c == '\r' ? ' ' : c;
        break;
    }
    case SoundAnswer::Kind::Open: out += "sound open " + std::to_string(answer.first); break;
    }
    out += '\n';
}

void recordClock(uint32_t microseconds)
{
    if (writer.clockCount == 0)
        writer.clockLine.assign(1, 't');
    writer.clockLine += ' ';
    appendNumber(writer.clockLine, microseconds);
    if (++writer.clockCount == kClockPerLine)
        closeClockLine();
    flushWhenDue();
}

void recordKeyboard(const KeyboardRead& read)
{
    if (writer.keyboard.count > 0 && writer.keyboard.value == read) {
        ++writer.keyboard.count;
    } else {
        closeKeyboardRun();
        writer.keyboard.value = read;
        writer.keyboard.count = 1;
    }
    flushWhenDue();
}

void recordAcquisition(InputResult result)
{
    writer.pending += "acquire ";
    writer.pending += nameOf(result);
    writer.pending += '\n';
}

void recordPad(const PadRead& read)
{
    if (writer.pad.count > 0 && writer.pad.value == read) {
        ++writer.pad.count;
    } else {
        closePadRun();
        writer.pad.value = read;
        writer.pad.count = 1;
    }
    flushWhenDue();
}

void recordChannel(char answer)
{
    if (writer.channel.count > 0 && writer.channel.value == answer) {
        ++writer.channel.count;
    } else {
        closeChannelRun();
        writer.channel.value = answer;
        writer.channel.count = 1;
    }
    flushWhenDue();
}

void recordWindow(bool hasMessage, const SystemMessage& message)
{
    if (!hasMessage) {
        ++writer.emptyWindowReads;
        flushWhenDue();
        return;
    }
    const char* name = nullptr;
    for (const MessageName& known : kMessages)
        if (known.type == message.message.type && known.lost == message.lost)
            name = known.name;
    if (!name)
        return;   // not one the window system sends
    writer.pending += "m ";
    appendNumber(writer.pending, writer.emptyWindowReads);
    writer.pending += ' ';
    writer.pending += name;
    writer.pending += '\n';
    writer.emptyWindowReads = 0;
    // A message is rare and may be the last thing before a crash.
    flush();
}

void recordReset(bool done) { writer.pending += done ? "reset 1\n" : "reset 0\n"; }

void recordEnded(bool ended)
{
    if (!ended) {
        ++writer.notEnded;
        return;
    }
    writer.pending += "ended ";
    appendNumber(writer.pending, writer.notEnded);
    writer.pending += " yes\n";
    writer.notEnded = 0;
}

void finishRecording()
{
    if (!writer.file)
        return;
    flush();
    std::fputs("end\n", writer.file);
    std::fclose(writer.file);
    writer = Writer{};
}

bool startPlayback(const std::string& path, std::string& error)
{
    playback = Playback{};
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read the recording " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string problem;
    if (!parseRecording(text.str(), playback.recording, problem)) {
        error = path + ": " + problem;
        return false;
    }
    playback.active = true;
    return true;
}

const Recording& playbackRecording() { return playback.recording; }

void notePlaybackRanOut() { playback.ranOut = true; }
bool playbackRanOut() { return playback.ranOut; }

bool recordedScoreTable(std::string& text)
{
    if (!playback.active)
        return false;
    text = playback.recording.scoreTable;
    return true;
}
