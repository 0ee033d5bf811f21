// The text rules replay scripts and recordings share: lines of bounded
// length, words, comments, numbers and repeat counts.
//
// - A line ends at LF (a CR before it is dropped) and holds at most
//   kMaxLineBytes bytes.
// - Words are separated by spaces and tabs. A word that begins with '#'
//   starts a comment running to the line's end; a line of nothing else is
//   skipped. (A recording's free-text lines, a score table line or a sound
//   device's name, are taken whole, '#' and all.)
// - A number is decimal digits with an optional minus sign, nothing else.
// - "N*" repeats what follows N times, 1 <= N <= kMaxRepeat.
#pragma once
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kMaxLineBytes = 4096;
constexpr uint64_t kMaxRepeat = 1000000000;

// The words of a line, up to a comment.
std::vector<std::string_view> lineWords(std::string_view line);

// The line after its first `count` words (empty when it has no more).
std::string_view restAfterWords(std::string_view line, int count);

// True when `text` is exactly a number that fits `value`.
template <typename Number>
bool parseNumber(std::string_view text, Number& value)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// A word "N*": true with its count when it is a repeat count in range.
bool isRepeatWord(std::string_view word);
bool parseRepeat(std::string_view word, uint64_t& count);

// Reading a text line by line, from memory or a file (in blocks, so a file
// of any size costs a block and a line of memory).
struct LineSource {
    enum class Got { Line, End, TooLong, CutShort };
    std::string_view text;         // the text, or what is in memory of the file
    std::FILE* file = nullptr;     // when reading a file
    size_t at = 0;                 // in `text`
    int number = 0;                // of the line last read
    std::string block;             // of the file
    size_t blockBytes = 64 * 1024;
    std::string line;              // a file's line that spans two blocks
};

LineSource linesOfText(std::string_view text);
LineSource linesOfFile(std::FILE* file);

// The next line, without its line end. CutShort: the text ends inside a
// line (a session cut short while writing it); TooLong: longer than
// kMaxLineBytes.
LineSource::Got nextLine(LineSource& source, std::string_view& line);

// "line N: " and the problem, the problem's quoted text shown safely.
std::string lineProblem(int lineNumber, const std::string& problem);
// `word` in double quotes, its bytes made printable.
std::string quoted(std::string_view word);
// Bytes as they may be shown on a terminal: printable ASCII as it is,
// everything else (and the backslash) as \xNN.
std::string printableBytes(std::string_view bytes);
