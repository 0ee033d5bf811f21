// Tests of qualification, insertion, and loading and saving data/scores.txt in a scratch folder.

#include "scores/score_table.h"
#include "scores/score_checks.h"
#include "scores/score_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

namespace {

// Field by field, including the zero bytes after the name (not the padding).
bool samePlace(const ScoreEntry& a, const ScoreEntry& b) {
    return a.rank == b.rank && a.score == b.score && std::memcmp(a.name, b.name, sizeof a.name) == 0;
}

bool sameTable(const ScoreEntry* a, const ScoreEntry* b) {
    for (int place = 0; place < kScoreTableSize; ++place) {
        if (!samePlace(a[place], b[place])) return false;
    }
    return true;
}

std::string describe(const ScoreEntry& e) {
    return std::to_string(e.rank) + " [" + std::string(e.name, strnlen(e.name, sizeof e.name)) +
           "] " + std::to_string(e.score);
}

void expectTable(std::initializer_list<ScoreEntry> want) {
    ASSERT_EQ(want.size(), static_cast<size_t>(kScoreTableSize));
    int place = 0;
    for (const ScoreEntry& w : want) {
        EXPECT_TRUE(samePlace(scoreTable[place], w))
            << "place " << place + 1 << ": got " << describe(scoreTable[place]) << ", want "
            << describe(w);
        ++place;
    }
}

void setTable(std::initializer_list<ScoreEntry> places) {
    std::memset(scoreTable, 0, sizeof scoreTable);
    int place = 0;
    for (const ScoreEntry& e : places) scoreTable[place++] = e;
}

void setPending(const char* name, int32_t score) { pendingEntry = entry(11, name, score); }

const char* const kOldFile =
    "1 ACE 500\r\n2 BOB 400\r\n3 CAT 300\r\n4 DOG 200\r\n5 EEL 100\r\n"
    "6 FOX 90\r\n7 GNU 80\r\n8 HEN 70\r\n9 IBX 60\r\n10 JAY 50\r\n";

TEST(ScoreQualifies, ComparesWithTheTenthPlaceOnly) {
    setTable({});
    EXPECT_TRUE(scoreQualifies(1)) << "an empty table takes any positive score";
    EXPECT_FALSE(scoreQualifies(0));
    EXPECT_FALSE(scoreQualifies(-1));

    readScoresFromText(kOldFile, scoreTable);
    EXPECT_FALSE(scoreQualifies(50)) << "equal to the tenth place";
    EXPECT_TRUE(scoreQualifies(51));

    // Not sorted: place 5 is lower than place 10, but only place 10 counts.
    setTable({entry(1, "A", 900), entry(2, "B", 800), entry(3, "C", 700), entry(4, "D", 600),
              entry(5, "E", 10), entry(6, "F", 500), entry(7, "G", 400), entry(8, "H", 300),
              entry(9, "I", 200), entry(10, "J", 150)});
    EXPECT_FALSE(scoreQualifies(100));
    EXPECT_FALSE(scoreQualifies(150));
    EXPECT_TRUE(scoreQualifies(151));
    scoreTable[9].score = 0;
    EXPECT_TRUE(scoreQualifies(1)) << "the tenth place is low even though the others are high";

    scoreTable[9].score = INT32_MIN;
    EXPECT_FALSE(scoreQualifies(INT32_MIN));
    EXPECT_TRUE(scoreQualifies(INT32_MIN + 1));
    scoreTable[9].score = INT32_MAX;
    EXPECT_FALSE(scoreQualifies(INT32_MAX));
}

TEST(InsertPendingEntry, NewEntryGoesBelowEqualScoresAndTheLastIsDropped) {
    setTable({entry(1, "A", 500), entry(2, "B", 400), entry(3, "C", 400), entry(4, "D", 400),
              entry(5, "E", 300), entry(6, "F", 200), entry(7, "G", 100), entry(8, "H", 100),
              entry(9, "I", 50), entry(10, "J", 10)});
    setPending("NEW", 400);
    const ScoreEntry pendingBefore = pendingEntry;
    insertPendingEntry();
    expectTable({entry(1, "A", 500), entry(2, "B", 400), entry(3, "C", 400), entry(4, "D", 400),
                 entry(5, "NEW", 400), entry(6, "E", 300), entry(7, "F", 200), entry(8, "G", 100),
                 entry(9, "H", 100), entry(10, "I", 50)});
    EXPECT_TRUE(samePlace(pendingEntry, pendingBefore))
        << "the pending entry is left as it was";

    // A new best goes to the top.
    setPending("TOP", 501);
    insertPendingEntry();
    EXPECT_STREQ(scoreTable[0].name, "TOP");
    EXPECT_STREQ(scoreTable[9].name, "H");

    // Equal to the tenth place: sorts below it and is the one dropped.
    setPending("LATE", 100);
    insertPendingEntry();
    EXPECT_STREQ(scoreTable[9].name, "H");
    for (int place = 0; place < kScoreTableSize; ++place) EXPECT_STRNE(scoreTable[place].name, "LATE");
}

TEST(InsertPendingEntry, SortsAnUnsortedLoadedTableAndRenumbers) {
    // As loaded from a hand-made file: any order, odd ranks, ties in between.
    setTable({entry(7, "LOW", 5), entry(0, "HIGH", 900), entry(99, "T1", 60), entry(-3, "", 0),
              entry(1, "MID", 50), entry(1, "T2", 60), entry(2, "NEG", -20), entry(3, "T3", 60),
              entry(0, "", 0), entry(0, "", 0)});
    setPending("NEW", 60);
    insertPendingEntry();
    expectTable({entry(1, "HIGH", 900), entry(2, "T1", 60), entry(3, "T2", 60), entry(4, "T3", 60),
                 entry(5, "NEW", 60), entry(6, "MID", 50), entry(7, "LOW", 5), entry(8, "", 0),
                 entry(9, "", 0), entry(10, "", 0)});

    // An empty table and an empty name: the written file still reads back as the table.
    setTable({});
    setPending("", 5);
    insertPendingEntry();
    EXPECT_EQ(scoreTable[0].score, 5);
    EXPECT_EQ(scoreTable[9].rank, 10);
    ScoreEntry back[kScoreTableSize];
    readScoresFromText(writeScoresToText(scoreTable), back);
    EXPECT_TRUE(sameTable(back, scoreTable));

    // A pending name without its terminating zero gives six characters, nothing more.
    setTable({});
    std::memcpy(pendingEntry.name, "ABCDEFG", sizeof pendingEntry.name);
    pendingEntry.score = 1;
    insertPendingEntry();
    EXPECT_EQ(std::string(scoreTable[0].name, sizeof scoreTable[0].name), std::string("ABCDEF\0", 7));
}

TEST_F(ScoreFileTest, LoadScoresLeavesTheTableAloneWhenTheFileCannotBeOpened) {
    for (int place = 0; place < kScoreTableSize; ++place) scoreTable[place] = entry(place, "KEEP", 77);
    ScoreEntry before[kScoreTableSize];
    std::memcpy(before, scoreTable, sizeof before);

    EXPECT_FALSE(load()) << "no file";
    EXPECT_TRUE(sameTable(before, scoreTable));

    ASSERT_EQ(mkdir("data/scores.txt", 0755), 0);
    EXPECT_FALSE(load()) << "a folder in place of the file";
    EXPECT_TRUE(sameTable(before, scoreTable));
    ASSERT_EQ(rmdir("data/scores.txt"), 0);

    if (geteuid() != 0) {  // root reads it anyway
        writeFile("data/scores.txt", kOldFile);
        ASSERT_EQ(chmod("data/scores.txt", 0), 0);
        EXPECT_FALSE(load()) << "no permission";
        EXPECT_TRUE(sameTable(before, scoreTable));
        ASSERT_EQ(unlink("data/scores.txt"), 0);
    }

    ASSERT_EQ(rmdir("data"), 0);
    EXPECT_FALSE(load()) << "no data folder";
    EXPECT_TRUE(sameTable(before, scoreTable));
}

TEST_F(ScoreFileTest, LoadScoresReadsWhatTheFileHolds) {
    // File order, not sorted; an empty name read in step.
    writeFile("data/scores.txt", "1 LOW 5\r\n2  0\r\n3 HIGH 900\r\n");
    std::memset(scoreTable, 0x33, sizeof scoreTable);
    EXPECT_TRUE(load());
    ScoreEntry want[kScoreTableSize] = {entry(1, "LOW", 5), entry(2, "", 0), entry(3, "HIGH", 900)};
    EXPECT_TRUE(sameTable(want, scoreTable));

    writeFile("data/scores.txt", "");
    std::memset(scoreTable, 0x33, sizeof scoreTable);
    EXPECT_TRUE(load()) << "an empty file still loads";
    ScoreEntry empty[kScoreTableSize] = {};
    EXPECT_TRUE(sameTable(empty, scoreTable));

    // Reading the file in pieces agrees with reading the text whole, also where fields
    // straddle the pieces and a name runs over a megabyte.
    std::string longName = "1 " + std::string(1 << 20, 'N') + " 500\r\n2 BOB 400\r\n3  0\r\n";
    for (size_t pad = 65536 - 8; pad < 65536 + 2; ++pad) {
        std::string text = std::string(pad, ' ') + "12345 ABCDEFGH 678\r\n2  -9\r\n";
        for (const std::string& t : {text, longName}) {
            writeFile("data/scores.txt", t);
            ASSERT_TRUE(load());
            ScoreEntry fromText[kScoreTableSize];
            readScoresFromText(t, fromText);
            ASSERT_TRUE(sameTable(fromText, scoreTable)) << "padding " << pad;
        }
    }
    EXPECT_STREQ(scoreTable[0].name, "NNNNNN");
    EXPECT_EQ(scoreTable[0].score, 500);

    // A pipe in place of the file does not hold up start-up: it is no score file.
    ASSERT_EQ(unlink("data/scores.txt"), 0);
    ASSERT_EQ(mkfifo("data/scores.txt", 0644), 0);
    std::memcpy(scoreTable, empty, sizeof scoreTable);
    EXPECT_FALSE(load());
    EXPECT_TRUE(sameTable(empty, scoreTable));
}

TEST_F(ScoreFileTest, SaveThenLoadGivesTheSameTableAndExactBytes) {
    // More than ten lines and unsorted, as a hand-made file might be.
    writeFile("data/scores.txt",
              "1 LOW 5\n2 HIGH 900\n3  0\n4 MID 50\n5 A 4\n6 B 3\n7 C 2\n8 D 1\n9 E 1\n10 F 0\n"
              "11 G 1000\n12 H 2000\n");
    ASSERT_TRUE(load());
    EXPECT_TRUE(scoreQualifies(1));
    setPending("PLAYER", 60);
    insertPendingEntry();

    // The two lines after the tenth are dropped by the save: the file as it was is kept.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(saveScores());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kestrelon: data/scores.txt did not read cleanly; it is kept as it was in data/scores.txt.bak\n");

    EXPECT_EQ(readFile("data/scores.txt"),
              "1 HIGH 900\r\n2 PLAYER 60\r\n3 MID 50\r\n4 LOW 5\r\n5 A 4\r\n6 B 3\r\n7 C 2\r\n"
              "8 D 1\r\n9 E 1\r\n10  0\r\n");
    EXPECT_EQ(namesIn("data"), (std::vector<std::string>{"scores.txt", "scores.txt.bak"}))
        << "no temporary file left behind";

    // What the game wrote reads cleanly: the next save says nothing.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(load());
    EXPECT_TRUE(saveScores());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a successful save says nothing";

    ScoreEntry saved[kScoreTableSize];
    std::memcpy(saved, scoreTable, sizeof saved);
    std::memset(scoreTable, 0, sizeof scoreTable);
    ASSERT_TRUE(load());
    EXPECT_TRUE(sameTable(saved, scoreTable));

    // Negative scores and several empty names survive too.
    setTable({entry(1, "ACE", 5), entry(2, "", -1), entry(3, "", -2), entry(4, "007", INT32_MIN)});
    ASSERT_TRUE(saveScores());
    std::memcpy(saved, scoreTable, sizeof saved);
    std::memset(scoreTable, 0x44, sizeof scoreTable);
    ASSERT_TRUE(load());
    EXPECT_TRUE(sameTable(saved, scoreTable));
}

// Puts the old file in place, inserts a new result, saves with the given obstacle in the way,
// and checks the old file, the table in memory and the one line on stderr.
void expectFailedSaveKeepsEverything(const char* what, const std::string& reason) {
    SCOPED_TRACE(what);
    ScoreEntry inMemory[kScoreTableSize];
    std::memcpy(inMemory, scoreTable, sizeof inMemory);

    testing::internal::CaptureStderr();
    bool saved = saveScores();
    std::string said = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(saved);
    const std::string prefix = "Could not save the high scores to data/scores.txt: ";
    EXPECT_EQ(said.rfind(prefix, 0), 0u) << said;
    EXPECT_EQ(said, prefix + reason + "\n") << "exactly one line";
    EXPECT_TRUE(sameTable(inMemory, scoreTable)) << "the table keeps the new result";
    EXPECT_STREQ(scoreTable[0].name, "NEW");
}

void loadOldFileAndInsert() {
    writeFile("data/scores.txt", kOldFile);
    ASSERT_TRUE(load());
    setPending("NEW", 1000);
    insertPendingEntry();
}

TEST_F(ScoreFileTest, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder anyway";
    loadOldFileAndInsert();
    ASSERT_EQ(chmod("data", 0555), 0);
    expectFailedSaveKeepsEverything("read-only data folder",
                                    std::string("cannot write in data: ") + std::strerror(EACCES));
    EXPECT_EQ(readFile("data/scores.txt"), kOldFile);

    // Once the folder is writable again the next save goes through.
    chmod("data", 0755);
    EXPECT_TRUE(saveScores());
    EXPECT_EQ(readFile("data/scores.txt").substr(0, 13), "1 NEW 1000\r\n2");
}

TEST_F(ScoreFileTest, SaveFailingAtAnyStepKeepsTheOldFileAndLeavesNoTemporary) {
    loadOldFileAndInsert();

    // Writing fails: the file size limit stands in for a full disk.
    signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit tiny = before;
    tiny.rlim_cur = 90;   // more than the one line said, less than the table
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    expectFailedSaveKeepsEverything("disk full", std::strerror(EFBIG));
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
    EXPECT_EQ(readFile("data/scores.txt"), kOldFile);
    EXPECT_EQ(namesIn("data"), std::vector<std::string>{"scores.txt"});

    // A folder stands where the file goes.
    ASSERT_EQ(rename("data/scores.txt", "data/old.txt"), 0);
    ASSERT_EQ(mkdir("data/scores.txt", 0755), 0);
    expectFailedSaveKeepsEverything("file is a folder", "it is not a plain file");
    EXPECT_EQ(namesIn("data"), (std::vector<std::string>{"old.txt", "scores.txt"}));
    ASSERT_EQ(rmdir("data/scores.txt"), 0);

    // No data folder at all.
    ASSERT_EQ(unlink("data/old.txt"), 0);
    ASSERT_EQ(rmdir("data"), 0);
    expectFailedSaveKeepsEverything("no data folder", std::string("cannot write in data: ") + std::strerror(ENOENT));
    EXPECT_FALSE(exists("data"));
}

}  // namespace
