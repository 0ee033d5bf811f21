// The score table and pending entry: qualification, insertion, loading and saving the file.

#include "scores/score_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ScoreEntry scoreTable[kScoreTableSize];
ScoreEntry pendingEntry;

namespace {

constexpr const char* kScoreFolder = "data";

bool scoresInMemoryOnly = false;

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (wrote == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// One line, so a player running from a terminal can see why the table was not kept.
bool reportSaveFailure(int error) {
    std::fprintf(stderr, "Could not save the high scores to %s: %s\n", kScoreFilePath,
                 std::strerror(error));
    return false;
}

}  // namespace

bool loadScores() {
    // O_NONBLOCK so that a pipe put in place of the file cannot hold up start-up.
    int fd = open(kScoreFilePath, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return false;
    }
    readScoresFromFile(fd, scoreTable);
    close(fd);
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
    // Write a whole new file beside the old one and rename it over, so a crash or a full
    // disk leaves either the old table or the new one, never a cut file.
    const std::string text = writeScoresToText(scoreTable);

    int fd = open(kScoreTempPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return reportSaveFailure(errno);
    if (!writeAll(fd, text) || fsync(fd) != 0) {
        int error = errno;
        close(fd);
        unlink(kScoreTempPath);
        return reportSaveFailure(error);
    }
    if (close(fd) != 0 || rename(kScoreTempPath, kScoreFilePath) != 0) {
        int error = errno;
        unlink(kScoreTempPath);
        return reportSaveFailure(error);
    }

    // The rename itself is only durable once the folder is synced. The new file is in
    // place already, so a failure here is reported differently.
    int folder = open(kScoreFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = errno;
    int synced = -1;
    if (folder >= 0) {
        synced = fsync(folder);
        error = errno;
        close(folder);
    }
    // Some file systems cannot sync a folder at all; nothing more can be done there.
    if (synced != 0 && error != EINVAL && error != ENOTSUP) {
        std::fprintf(stderr, "Saved the high scores to %s, but could not sync %s/: %s\n",
                     kScoreFilePath, kScoreFolder, std::strerror(error));
        return false;
    }
    return true;
}
