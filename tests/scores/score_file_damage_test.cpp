// The score file keeps what the player had: a file that did not read cleanly is kept byte
// for byte before the first save writes over it; a read-only file is not replaced; a
// linked file is saved where the link points; no planted link is followed.

#include "scores/score_checks.h"
#include "scores/score_folder.h"

namespace {

const std::string kTenPlaces =
    "1 ACE 500\r\n2 BOB 400\r\n3 CAT 300\r\n4 DOG 200\r\n5 EEL 100\r\n"
    "6 FOX 90\r\n7 GNU 80\r\n8 HEN 70\r\n9 IBX 60\r\n10 JAY 50\r\n";

// Loads `file`, enters NEW with `points`, saves; returns what the save said on stderr.
std::string loadEnterAndSave(const std::string& file, int32_t points, bool* saved = nullptr) {
    writeFile("data/scores.txt", file);
    EXPECT_TRUE(load());
    pendingEntry = entry(11, "NEW", points);
    insertPendingEntry();
    testing::internal::CaptureStderr();
    const bool ok = saveScores();
    if (saved) *saved = ok;
    return testing::internal::GetCapturedStderr();
}

const std::string kKeptLine =
    "kestrelon: data/scores.txt did not read cleanly; it is kept as it was in data/scores.txt.bak\n";

}  // namespace

TEST_F(ScoreFileTest, AFileThatDidNotReadCleanlyIsKeptBeforeTheFirstSave) {
    struct Damage {
        const char* what;
        std::string file;
    };
    std::string controlByte = kTenPlaces;
    controlByte.replace(controlByte.find("CAT"), 3, "C\x01T");
    const Damage damages[] = {
        {"a malformed line", std::string(kTenPlaces).replace(kTenPlaces.find("3 CAT"), 5, "3 NO VA")},
        {"a control byte inside a name", controlByte},
        {"a line after the tenth place", kTenPlaces + "11 KIM 40\r\n"},
        {"a name longer than six letters", std::string(kTenPlaces).replace(0, 5, "1 ACEMANIAC")},
        {"a score beyond 32 bits", std::string(kTenPlaces).replace(0, 9, "1 ACE -99999999999")},
        {"too few places", "1 ACE 500\r\n"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::filesystem::remove_all("data");
        ASSERT_EQ(mkdir("data", 0755), 0);
        bool saved = false;
        EXPECT_EQ(loadEnterAndSave(damage.file, 1000, &saved), kKeptLine);
        EXPECT_TRUE(saved);
        EXPECT_EQ(readFile("data/scores.txt.bak"), damage.file) << "kept byte for byte";
        EXPECT_EQ(readFile("data/scores.txt").substr(0, 12), "1 NEW 1000\r\n") << "and the new table saved";

        // The next save finds a clean file of the game's own: no second copy.
        testing::internal::CaptureStderr();
        EXPECT_TRUE(saveScores());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(namesIn("data"), (std::vector<std::string>{"scores.txt", "scores.txt.bak"}));
    }
}

TEST_F(ScoreFileTest, AnOlderCopyIsNeverWrittenOver) {
    const std::string damaged = kTenPlaces + "garbage\r\n";
    writeFile("data/scores.txt.bak", "an older copy\n");
    loadEnterAndSave(damaged, 1000);
    EXPECT_EQ(readFile("data/scores.txt.bak"), "an older copy\n");
    EXPECT_EQ(readFile("data/scores.txt.bak.1"), damaged);

    // The same damage again: the identical copy is there already.
    loadEnterAndSave(damaged, 2000);
    EXPECT_EQ(namesIn("data"), (std::vector<std::string>{"scores.txt", "scores.txt.bak", "scores.txt.bak.1"}));

    // A link where the copy would go is not followed.
    const std::string victim = folder + "/victim";
    writeFile(victim.c_str(), "the player's own\n");
    ASSERT_EQ(symlink(victim.c_str(), "data/scores.txt.bak.2"), 0);
    loadEnterAndSave(damaged + "more\r\n", 3000);
    EXPECT_EQ(readFile(victim.c_str()), "the player's own\n");
    EXPECT_EQ(readFile("data/scores.txt.bak.3"), damaged + "more\r\n");
}

TEST_F(ScoreFileTest, AReadOnlyFileIsNotReplaced) {
    writeFile("data/scores.txt", kTenPlaces);
    ASSERT_EQ(chmod("data/scores.txt", 0444), 0);
    bool saved = true;
    const std::string said = loadEnterAndSave(kTenPlaces, 1000, &saved);
    EXPECT_FALSE(saved);
    EXPECT_EQ(said, "Could not save the high scores to data/scores.txt: it is read-only\n");
    EXPECT_EQ(readFile("data/scores.txt"), kTenPlaces);
    struct stat info {};
    ASSERT_EQ(stat("data/scores.txt", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    EXPECT_STREQ(scoreTable[0].name, "NEW") << "the table in memory keeps the new place";
    EXPECT_EQ(namesIn("data"), std::vector<std::string>{"scores.txt"});
}

TEST_F(ScoreFileTest, ALinkedFileIsSavedWhereTheLinkPoints) {
    ASSERT_EQ(mkdir("elsewhere", 0700), 0);
    writeFile("elsewhere/table.txt", kTenPlaces);
    ASSERT_EQ(chmod("elsewhere/table.txt", 0600), 0);
    ASSERT_EQ(symlink("../elsewhere/table.txt", "data/scores.txt"), 0);
    ASSERT_TRUE(load());
    pendingEntry = entry(11, "NEW", 1000);
    insertPendingEntry();
    ASSERT_TRUE(saveScores());

    struct stat link {};
    ASSERT_EQ(lstat("data/scores.txt", &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "still a link";
    EXPECT_EQ(readFile("elsewhere/table.txt").substr(0, 12), "1 NEW 1000\r\n");
    struct stat target {};
    ASSERT_EQ(stat("elsewhere/table.txt", &target), 0);
    EXPECT_EQ(target.st_mode & 0777, 0600u) << "the file keeps its permissions";
    EXPECT_EQ(namesIn("elsewhere"), std::vector<std::string>{"table.txt"});
}

TEST_F(ScoreFileTest, APlantedTemporaryLinkIsNotFollowed) {
    const std::string victim = folder + "/victim";
    writeFile(victim.c_str(), "someone else's\n");
    // The fixed name the game once used, and a name of the form it uses now.
    ASSERT_EQ(symlink(victim.c_str(), "data/scores.txt.tmp"), 0);
    ASSERT_EQ(symlink(victim.c_str(), "data/.scores.txt.XXXXXX"), 0);
    loadEnterAndSave(kTenPlaces, 1000);
    EXPECT_EQ(readFile(victim.c_str()), "someone else's\n");
    EXPECT_EQ(readFile("data/scores.txt").substr(0, 12), "1 NEW 1000\r\n");
    EXPECT_EQ(namesIn("data"), (std::vector<std::string>{".scores.txt.XXXXXX", "scores.txt", "scores.txt.tmp"}));
}
