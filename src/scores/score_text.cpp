// Reading and writing the text of the score file, from memory or from an open file.
//
// Reading rules. Each place is three fields in turn: rank (a number), name (a word),
// score (a number), the way a formatted stream extracts them:
// - A field is a run of visible ASCII characters (0x21..0x7E). Every other byte, that is
//   space, tab, CR, LF, any other control character, NUL, DEL and bytes 0x80..0xFF,
//   separates fields, so nothing but visible ASCII ever reaches a name. CR and LF also end
//   a line.
// - A number is an optional sign and decimal digits; it ends at the first other character,
//   which begins the next field ("1ACE" is rank 1 then name ACE). Values outside 32 bits are
//   clamped and reading goes on. A field that is not a number, or the end of the text,
//   stops reading: the fields not read yet keep rank 0, empty name, score 0.
// - A name keeps its first 6 characters; the rest of that word is skipped.
// - Fields may be spread over lines or share one, as with a stream, with one exception
//   that makes empty names read back: when a rank starts its line and the rest of that line
//   is exactly one more word which is a number, that place has an empty name and the
//   number is its score ("2  0" is place 2, no name, 0 points). A rank alone on its line,
//   or followed by a non-number word, reads on across lines as a stream would.
// - After the tenth place the rest of the text is ignored.
//
// A text reads cleanly when all thirty fields were there, no name was cut and no number
// clamped, and nothing but separators follows the tenth place: then the next save loses
// nothing of it.

#include "scores/score_table.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kFileBufferSize = 64 * 1024;
// A score file is a few hundred bytes; this only keeps an endless file (a device, a
// growing pipe) from holding up start-up.
constexpr uint64_t kMaxFileBytes = 256ull * 1024 * 1024;

// Where the reader takes its bytes: a piece of memory, refilled from file when it is set.
struct ScoreSource {
    const char* data;
    size_t size;
    size_t pos;
    std::FILE* file;
    uint64_t fileBytesLeft;
    char* buffer;
    bool lineStart;  // a line break (or the start of the text) came after the last field
    bool lossy;      // a name was cut, a number clamped, or the file was too long to read whole
};

bool isFieldByte(int c) { return c >= 0x21 && c <= 0x7E; }
bool isLineBreak(int c) { return c == '\n' || c == '\r'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// The next byte (0..255), or -1 at the end.
int peekByte(ScoreSource& src) {
    if (src.pos < src.size) return static_cast<unsigned char>(src.data[src.pos]);
    if (!src.file) return -1;
    if (src.fileBytesLeft == 0) {
        src.lossy = src.lossy || std::fgetc(src.file) != EOF;
        src.file = nullptr;
        return -1;
    }
    size_t want = kFileBufferSize;
    if (src.fileBytesLeft < want) want = static_cast<size_t>(src.fileBytesLeft);
    size_t got = std::fread(src.buffer, 1, want, src.file);
    if (got == 0) {  // end of file, or an error: read as the end either way
        src.file = nullptr;
        return -1;
    }
    src.fileBytesLeft -= got;
    src.data = src.buffer;
    src.size = got;
    src.pos = 0;
    return static_cast<unsigned char>(src.data[0]);
}

void takeByte(ScoreSource& src) { ++src.pos; }

// Skips separators; with withinLine it stops in front of a line break.
void skipSeparators(ScoreSource& src, bool withinLine) {
    for (;;) {
        int c = peekByte(src);
        if (c < 0 || isFieldByte(c)) return;
        if (isLineBreak(c)) {
            if (withinLine) return;
            src.lineStart = true;
        }
        takeByte(src);
    }
}

int32_t clampToInt32(ScoreSource& src, bool negative, int64_t magnitude) {
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN) src.lossy = true;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// Digits from the current byte on; the magnitude stops growing just past the 32-bit range.
int64_t takeDigits(ScoreSource& src) {
    int64_t magnitude = 0;
    for (int c = peekByte(src); isDigit(c); c = peekByte(src)) {
        if (magnitude <= INT64_C(1) << 31) magnitude = magnitude * 10 + (c - '0');
        takeByte(src);
    }
    return magnitude;
}

// A number field as a stream reads it. False when the next field does not start with one.
bool readNumber(ScoreSource& src, int32_t& out) {
    skipSeparators(src, false);
    int c = peekByte(src);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        takeByte(src);
        c = peekByte(src);
    }
    if (!isDigit(c)) return false;
    out = clampToInt32(src, negative, takeDigits(src));
    src.lineStart = false;
    return true;
}

// A whole word from the current (visible) byte on: its first 6 characters go to name, and
// isNumber/number say whether the whole word is a sign and digits, and its value. Returns
// the word's whole length.
int takeWord(ScoreSource& src, char name[kMaxNameLength + 1], bool& isNumber, int64_t& number) {
    std::memset(name, 0, kMaxNameLength + 1);
    int length = 0;
    bool negative = false;
    int64_t magnitude = 0;
    bool digitsSeen = false;
    isNumber = true;
    for (int c = peekByte(src); isFieldByte(c); c = peekByte(src)) {
        if (length < kMaxNameLength) name[length] = static_cast<char>(c);
        if (isDigit(c)) {
            digitsSeen = true;
            if (magnitude <= INT64_C(1) << 31) magnitude = magnitude * 10 + (c - '0');
        } else if (length == 0 && (c == '+' || c == '-')) {
            negative = c == '-';
        } else {
            isNumber = false;
        }
        ++length;
        takeByte(src);
    }
    isNumber = isNumber && digitsSeen;
    number = negative ? -magnitude : magnitude;
    src.lineStart = false;
    return length;
}

// One place; false once a field could not be read, which ends reading.
bool readPlace(ScoreSource& src, ScoreEntry& entry) {
    skipSeparators(src, false);
    bool rankStartsLine = src.lineStart;
    if (!readNumber(src, entry.rank)) return false;

    bool isNumber = false;
    int64_t number = 0;
    if (rankStartsLine && !isFieldByte(peekByte(src))) {
        skipSeparators(src, true);
        if (isFieldByte(peekByte(src))) {
            const int length = takeWord(src, entry.name, isNumber, number);
            skipSeparators(src, true);
            int c = peekByte(src);
            if (isNumber && (c < 0 || isLineBreak(c))) {
                // Just "rank score" on this line: the game wrote an empty name.
                std::memset(entry.name, 0, sizeof entry.name);
                entry.score = clampToInt32(src, number < 0, number < 0 ? -number : number);
                return true;
            }
            if (length > kMaxNameLength) src.lossy = true;
            return readNumber(src, entry.score);
        }
    }

    skipSeparators(src, false);
    if (peekByte(src) < 0) return false;
    // A longer name is cut to its first 6 characters.
    if (takeWord(src, entry.name, isNumber, number) > kMaxNameLength) src.lossy = true;
    return readNumber(src, entry.score);
}

bool readScores(ScoreSource& src, ScoreEntry table[kScoreTableSize]) {
    std::memset(table, 0, sizeof(ScoreEntry) * kScoreTableSize);
    for (int place = 0; place < kScoreTableSize; ++place) {
        if (!readPlace(src, table[place])) return false;
    }
    skipSeparators(src, false);
    return peekByte(src) < 0 && !src.lossy;
}

void appendNumber(std::string& out, int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

void copyScoreName(char dst[kMaxNameLength + 1], const char* src) {
    std::memset(dst, 0, kMaxNameLength + 1);
    for (int i = 0; i < kMaxNameLength && isFieldByte(static_cast<unsigned char>(src[i])); ++i) {
        dst[i] = src[i];
    }
}

bool readScoresFromText(std::string_view text, ScoreEntry table[kScoreTableSize]) {
    ScoreSource src{text.data(), text.size(), 0, nullptr, 0, nullptr, true, false};
    return readScores(src, table);
}

bool readScoresFromFile(std::FILE* file, ScoreEntry table[kScoreTableSize]) {
    char buffer[kFileBufferSize];
    ScoreSource src{buffer, 0, 0, file, kMaxFileBytes, buffer, true, false};
    return readScores(src, table);
}

std::string writeScoresToText(const ScoreEntry table[kScoreTableSize]) {
    std::string text;
    text.reserve(kScoreTableSize * 32);
    for (int place = 0; place < kScoreTableSize; ++place) {
        char name[kMaxNameLength + 1];
        copyScoreName(name, table[place].name);
        appendNumber(text, table[place].rank);
        text += ' ';
        text += name;
        text += ' ';
        appendNumber(text, table[place].score);
        text += "\r\n";
    }
    return text;
}
