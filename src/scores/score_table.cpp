// The score table and pending entry: qualification, insertion, loading and saving the file.

#include "scores/score_table.h"

#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <string>

ScoreEntry scoreTable[kScoreTableSize];
ScoreEntry pendingEntry;

namespace {

bool scoresInMemoryOnly = false;
// The file did not read cleanly: what the next save would drop is kept first.
bool copyOwedBeforeSave = false;

// One line, so a player running from a terminal can see why the table was not kept.
bool reportSaveFailure(const std::string& reason) {
    std::fprintf(stderr, "Could not save the high scores to %s: %s\n",
                 playerFilePath(kScoreFilePath).c_str(), reason.c_str());
    return false;
}

}  // namespace

bool loadScores(std::string& error) {
    std::FILE* file = openPlayerFile(kScoreFilePath, error);
    if (!file) return false;
    copyOwedBeforeSave = !readScoresFromFile(file, scoreTable);
    std::fclose(file);
    return true;
}

bool scoreQualifies(int32_t score) {
    return score > scoreTable[kScoreTableSize - 1].score;
}

void insertPendingEntry() {
    // Copies first, so the table can be overwritten while they are read.
    ScoreEntry scratch[kScoreTableSize + 1];
    std::copy(scoreTable, scoreTable + kScoreTableSize, scratch);
    scratch[kScoreTableSize] = pendingEntry;

    int order[kScoreTableSize + 1];
    for (int i = 0; i <= kScoreTableSize; ++i) order[i] = i;
    // Stable, so equal scores keep their order and the new entry (last) goes below them.
    std::stable_sort(order, order + kScoreTableSize + 1,
                     [&](int a, int b) { return scratch[a].score > scratch[b].score; });

    for (int place = 0; place < kScoreTableSize; ++place) {
        const ScoreEntry& from = scratch[order[place]];
        copyScoreName(scoreTable[place].name, from.name);
        scoreTable[place].score = from.score;
        scoreTable[place].rank = place + 1;
    }
}

void keepScoresInMemoryOnly() { scoresInMemoryOnly = true; }

bool saveScores() {
    if (scoresInMemoryOnly) return true;
    std::string error;
    if (copyOwedBeforeSave) {
        std::string keptAs;
        if (!keepCopyOfPlayerFile(kScoreFilePath, keptAs, error))
            return reportSaveFailure("the file did not read cleanly, and a copy of it could not be kept (" +
                                     error + ")");
        std::fprintf(stderr, "kestrelon: %s did not read cleanly; it is kept as it was in %s\n",
                     playerFilePath(kScoreFilePath).c_str(), keptAs.c_str());
        copyOwedBeforeSave = false;
    }
    // A whole new file renamed over the old one: a crash or a full disk leaves either the
    // old table or the new one, never a cut file.
    if (!replacePlayerFile(kScoreFilePath, writeScoresToText(scoreTable), error))
        return reportSaveFailure(error);
    return true;
}
