// The ten-place high-score table, the pending entry, and the score file data/scores.txt.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

constexpr int kScoreTableSize = 10;
constexpr int kMaxNameLength = 6;

// The score file, by the player's file name the platform resolves (the game folder's, or
// the player's own folder when installed).
constexpr const char* kScoreFilePath = "data/scores.txt";

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
// no permission, not a plain file), with `error` saying why; then scoreTable is left exactly
// as it was. Otherwise returns true whatever the file holds: places it does not give are
// rank 0, empty name, score 0. A file that did not read cleanly is kept, byte for byte, as
// data/scores.txt.bak (or .bak.1, ...) before the first save writes over it.
bool loadScores(std::string& error);

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
// data/scores.txt in one step (a new file renamed over it; through a link to the file it
// names), so the old file is either replaced whole or left byte for byte. A read-only file is
// not replaced. On failure prints one line on stderr saying why and returns false; the table
// in memory is unchanged either way. Callers may ignore the result.
bool saveScores();

// From now on the table lives in memory only: saveScores writes nothing and
// reports success. For a recorded session played back, whose table is not
// the player's.
void keepScoresInMemoryOnly();

// Pure reading of the score file's text into table (all ten places are reset first).
// See score_text.cpp for the exact rules; in short, each place is rank, name, score as
// white-space separated fields, and a line holding only two numbers is a place with an
// empty name. True when it read cleanly: all thirty fields, nothing cut or clamped, nothing
// but white space after the tenth place (a save would then lose nothing).
bool readScoresFromText(std::string_view text, ScoreEntry table[kScoreTableSize]);

// The same reading from an open file, without loading the whole file: it stops after the
// tenth place (looking one byte further), at end of file, on a read error, or after 256 MiB.
bool readScoresFromFile(std::FILE* file, ScoreEntry table[kScoreTableSize]);

// The exact text saveScores writes: ten lines "rank name score" with CR LF, nothing after.
// Names are written up to their first character that is not visible ASCII (at most 6),
// so whatever is written reads back the same.
std::string writeScoresToText(const ScoreEntry table[kScoreTableSize]);

// Copies the leading visible-ASCII run (at most 6 characters) of src into dst and fills the
// rest of dst with zero bytes. Reads at most kMaxNameLength bytes of src.
void copyScoreName(char dst[kMaxNameLength + 1], const char* src);
