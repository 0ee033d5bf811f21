// The shared text rules of replay scripts and recordings.
#include "platform/replay_text.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

} // namespace

std::vector<std::string_view> lineWords(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && blank(line[at]))
            ++at;
        size_t end = at;
        while (end < line.size() && !blank(line[end]))
            ++end;
        if (end == at)
            break;
        if (line[at] == '#')
            break;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string_view restAfterWords(std::string_view line, int count)
{
    size_t at = 0;
    for (int word = 0; word < count; ++word) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos)
            return {};
        at = line.find_first_of(" \t", at);
        if (at == std::string_view::npos)
            return {};
    }
    return line.substr(at + 1);
}

bool isRepeatWord(std::string_view word) { return word.size() > 1 && word.back() == '*'; }

bool parseRepeat(std::string_view word, uint64_t& count)
{
    return isRepeatWord(word) && parseNumber(word.substr(0, word.size() - 1), count) && count >= 1
           && count <= kMaxRepeat;
}

namespace {

// The next block of the file into `text`; false at its end.
bool refill(LineSource& source)
{
    source.block.resize(source.blockBytes);
    const size_t got = std::fread(source.block.data(), 1, source.block.size(), source.file);
    source.block.resize(got);
    source.text = source.block;
    source.at = 0;
    return got > 0;
}

} // namespace

LineSource linesOfText(std::string_view text)
{
    LineSource source;
    source.text = text;
    return source;
}

LineSource linesOfFile(std::FILE* file)
{
    LineSource source;
    source.file = file;
    return source;
}

LineSource::Got nextLine(LineSource& source, std::string_view& line)
{
    ++source.number;
    source.line.clear();
    bool spans = false;   // the line is in source.line, not in the text
    for (;;) {
        if (source.at >= source.text.size() && !(source.file && refill(source))) {
            if (!spans)
                return LineSource::Got::End;
            line = source.line;
            return LineSource::Got::CutShort;
        }
        const size_t end = source.text.find('\n', source.at);
        const size_t stop = end == std::string_view::npos ? source.text.size() : end;
        const std::string_view piece = source.text.substr(source.at, stop - source.at);
        source.at = stop + 1;
        if (end != std::string_view::npos && !spans && piece.size() <= kMaxLineBytes) {
            line = piece;
            break;
        }
        source.line.append(piece.substr(0, kMaxLineBytes + 1 - source.line.size()));
        spans = true;
        if (source.line.size() > kMaxLineBytes) {
            line = source.line;
            return LineSource::Got::TooLong;   // reading stops here: the rest is not read
        }
        if (end != std::string_view::npos) {
            line = source.line;
            break;
        }
        if (!source.file) {
            line = source.line;
            return LineSource::Got::CutShort;
        }
    }
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return LineSource::Got::Line;
}

std::string lineProblem(int lineNumber, const std::string& problem)
{
    return "line " + std::to_string(lineNumber) + ": " + problem;
}

std::string quoted(std::string_view word)
{
    std::string text = "\"";
    text += printableBytes(word);
    text += '"';
    return text;
}

std::string printableBytes(std::string_view bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}
