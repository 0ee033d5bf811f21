// The ten-place high-score table, the pending entry, and the score file data/scores.txt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int kScoreTableSize = 10;
constexpr int kMaxNameLength = 6;

// The score file, relative to the working directory, and the temporary file a save
// writes first and then renames over it.
constexpr const char* kScoreFilePath = "data/scores.txt";
constexpr const char* kScoreTempPath = "data/scores.txt.tmp";

// One place of the table. rank is the place as written to the file (1..10 after an
// insertion, 11 in the pending entry, whatever the file held after loading). name is
// 0 to 6 visible ASCII characters (0x21..0x7E) followed by zero bytes. score is the points.
struct ScoreEntry {
    int32_t rank;
    char name[kMaxNameLength + 1];
    int32_t score;
};

// Place 1 first. In file order after loadScores, in descending score order after an insertion.
extern ScoreEntry scoreTable[kScoreTableSize];

// The result being entered; name entry fills it with rank 11, the typed name and the score.
// For ordering it counts as an eleventh record behind the ten places.
extern ScoreEntry pendingEntry;

// Called once at start-up. Opens data/scores.txt and reads it into scoreTable with
// readScoresFromText's rules. Returns false only when the file cannot be opened (missing,
// no permission, a directory); then scoreTable is left exactly as it was. Otherwise returns
// true whatever the file holds: places it does not give are rank 0, empty name, score 0.
bool loadScores();

// Called by the game-over screen and by name entry. True when score is strictly greater
// than the score of the tenth place; only that place is compared, even if the table
// (as loaded from a hand-made file) is not sorted.
bool scoreQualifies(int32_t score);

// Called by name entry when the name is complete. Sorts the ten places and pendingEntry,
// highest score first; equal scores keep their order, so the new entry goes below every
// place with the same score. The first ten become places 1..10 (rank renumbered), the
// eleventh is dropped. pendingEntry itself is left as it was.
void insertPendingEntry();

// Called by name entry right after insertPendingEntry. Writes scoreTable to
// data/scores.txt through a temporary file, fsync and rename, so the old file is either
// replaced whole or left byte for byte. On failure prints one line on stderr saying why and
// returns false; the table in memory is unchanged either way. Callers may ignore the result.
bool saveScores();

// From now on the table lives in memory only: saveScores writes nothing and
// reports success. For a recorded session played back, whose table is not
// the player's.
void keepScoresInMemoryOnly();

// Pure reading of the score file's text into table (all ten places are reset first).
// See score_text.cpp for the exact rules; in short, each place is rank, name, score as
// white-space separated fields, and a line holding only two numbers is a place with an
// empty name.
void readScoresFromText(std::string_view text, ScoreEntry table[kScoreTableSize]);

// The same reading from an open file descriptor, without loading the whole file: it stops
// after the tenth place, at end of file, on a read error, or after 256 MiB.
void readScoresFromFile(int fd, ScoreEntry table[kScoreTableSize]);

// The exact text saveScores writes: ten lines "rank name score" with CR LF, nothing after.
// Names are written up to their first character that is not visible ASCII (at most 6),
// so whatever is written reads back the same.
std::string writeScoresToText(const ScoreEntry table[kScoreTableSize]);

// Copies the leading visible-ASCII run (at most 6 characters) of src into dst and fills the
// rest of dst with zero bytes. Reads at most kMaxNameLength bytes of src.
void copyScoreName(char dst[kMaxNameLength + 1], const char* src);
