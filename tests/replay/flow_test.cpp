// The game's closing screens through whole replays: what reaches the score
// file, how a name typed with the window closing is kept, and that the waits
// survive the focus going and coming back.
#include "support/support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const std::string kScenarios = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";

// The novice game up to its game-over screen, then `ending`. After the
// Space that leaves the game-over screen, two polls pass (the screen's own
// and name entry's) before a letter can count as pressed.
std::string novicegameThen(const std::string& ending)
{
    return readFile(kScenarios + "novice_game.script") + ending;
}

struct FlowTest : testing::Test {
    std::string dir = makeGameDir();
    ~FlowTest() override { removeTree(dir); }

    ProcessResult replay(const std::string& script, const std::string& options)
    {
        writeFile(dir + "/flow.script", script);
        return runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + dir
                          + "/flow.script --trace " + dir + "/flow.jsonl " + options);
    }

    std::string scores() { return readFile(dir + "/data/scores.txt"); }
    std::vector<std::string> trace() { return splitLines(readFile(dir + "/flow.jsonl")); }
};

const std::string kOriginalScores = "1 ACE 5000\r\n2 NOVA 4000\r\n3 ORBIT 3000\r\n4 COMET 2500\r\n5 STAR 2000\r\n"
                                    "6 LUNA 1500\r\n7 VEGA 1000\r\n8 RIGEL 600\r\n9 ZED 300\r\n10 ROOKIE 100\r\n";

std::string scoresWithEighth(const std::string& name)
{
    return "1 ACE 5000\r\n2 NOVA 4000\r\n3 ORBIT 3000\r\n4 COMET 2500\r\n5 STAR 2000\r\n6 LUNA 1500\r\n"
           "7 VEGA 1000\r\n8 "
           + name + " 910\r\n9 RIGEL 600\r\n10 ZED 300\r\n";
}

} // namespace

TEST_F(FlowTest, SixLettersTypedRewriteTheFileExactly)
{
    ProcessResult run = replay(readFile(kScenarios + "game_lost_named.script"), "--start novice --frames 4400");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(scores(), scoresWithEighth("KESTRO"));
}

TEST_F(FlowTest, AResultWithoutAPlaceLeavesTheFileAlone)
{
    ProcessResult run = replay(readFile(kScenarios + "game_lost_unplaced.script"), "--start novice --frames 200");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(scores(), kOriginalScores);
    bool sawTable = false;
    for (const std::string& line : trace()) {
        EXPECT_EQ(line.find("nameentry"), std::string::npos);
        sawTable = sawTable || line.find("\"highscore\"") != std::string::npos;
    }
    EXPECT_TRUE(sawTable);
}

TEST_F(FlowTest, AnEmptyNameReadsBackInStepAfterARestart)
{
    ProcessResult run = replay(novicegameThen("SPACE\n.\n.\nRETURN\n.\nSPACE\n3* .\n"), "--start novice --frames 4400");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(scores(), scoresWithEighth(""));
    // Enter confirmed the empty name: the table was left with Space and the
    // menu came back, rather than the run ending inside name entry.
    EXPECT_EQ(traceField(trace().back(), "mode"), "\"menu\"");
    // A new run reads the file and shows the table from the menu.
    run = replay("2* .\nDOWN\n.\nRETURN\n", "--frames 6 --draws");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::string table;
    for (const std::string& line : trace())
        if (line.find("\"highscore\"") != std::string::npos)
            table = traceField(line, "draws");
    ASSERT_FALSE(table.empty());
    EXPECT_NE(table.find("\"text\":\"8. 910\""), std::string::npos) << table;
    EXPECT_NE(table.find("\"y\":594,\"colour\":\"FF72745F\",\"text\":\"\""), std::string::npos) << table;
    EXPECT_NE(table.find("\"text\":\"9. 600\""), std::string::npos);
    EXPECT_NE(table.find("\"text\":\"RIGEL\""), std::string::npos);
    EXPECT_NE(table.find("\"text\":\"10. 300\""), std::string::npos);
}

TEST_F(FlowTest, ClosingTheWindowWhileTypingKeepsTheLettersSoFar)
{
    ProcessResult run = replay(novicegameThen("SPACE\n.\n.\nK\n.\nE\n.\n@CLOSE\n"), "--start novice --frames 5000");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(scores(), scoresWithEighth("KE"));
}

TEST_F(FlowTest, ClosingTheWindowOnTheGameOverScreenKeepsAPlacedResult)
{
    ProcessResult run = replay(novicegameThen(".\n@CLOSE\n"), "--start novice --frames 5000");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(scores(), scoresWithEighth(""));
}

TEST_F(FlowTest, WaitsSurviveTheFocusGoingAndComing)
{
    // The table from the menu; the focus goes and comes back; Space still leaves.
    ProcessResult run = replay("2* .\nDOWN\n.\nRETURN\n.\n@FOCUS-LOST\nSPACE\n.\n@FOCUS-GAINED\n.\nSPACE\n3* .\n",
                               "--frames 12");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto lines = trace();
    ASSERT_GE(lines.size(), 6u);
    size_t table = 0;
    while (table < lines.size() && lines[table].find("\"highscore\"") == std::string::npos)
        ++table;
    ASSERT_LT(table + 1, lines.size());
    // The menu runs again after the table, its music starting anew.
    EXPECT_EQ(traceField(lines[table + 1], "mode"), "\"menu\"");
    EXPECT_EQ(traceField(lines[table + 1], "sounds"), "[\"menubgnd\"]");
}

TEST_F(FlowTest, QuitEndsTheProgramWithZeroAfterTheCredits)
{
    ProcessResult run = replay(readFile(kScenarios + "quit_credits.script"), "--frames 100");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    auto lines = trace();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(traceField(lines.back(), "quitRequested"), "true");
    EXPECT_LT(lines.size(), 100u);
}
