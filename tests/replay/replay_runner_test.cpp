// kestrelon-replay as a program: the trace it writes, that it repeats itself
// byte for byte, and its exit statuses.
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

struct ReplayRun {
    ProcessResult process;
    std::string trace;
};

struct ReplayTest : testing::Test {
    std::string dir = makeGameDir();
    ~ReplayTest() override { removeTree(dir); }

    ReplayRun replay(const std::string& script, const std::string& extra = "")
    {
        writeFile(dir + "/script.txt", script);
        ReplayRun run;
        run.process = runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + dir
                                 + "/script.txt --trace " + dir + "/trace.jsonl " + extra);
        run.trace = readFile(dir + "/trace.jsonl");
        return run;
    }
};

} // namespace

TEST_F(ReplayTest, WritesOneLinePerFrameWithTheTimeAndTheScreenFlags)
{
    ReplayRun run = replay("3* .\nDOWN\n", "--frames 5");
    ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
    auto lines = splitLines(run.trace);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(traceField(lines[0], "n"), "1");
    // A pass is 20 ms; the menu then sleeps 50 ms.
    EXPECT_EQ(traceField(lines[0], "t"), "70");
    EXPECT_EQ(traceField(lines[1], "t"), "140");
    EXPECT_EQ(traceField(lines[4], "n"), "5");
    EXPECT_EQ(traceField(lines[0], "frameScale"), "1");
    EXPECT_EQ(traceField(lines[1], "frameScale"), "3.5");
    EXPECT_EQ(traceField(lines[0], "mode"), "\"menu\"");
    EXPECT_EQ(traceField(lines[0], "menuActive"), "true");
    EXPECT_EQ(traceField(lines[0], "gameInProgress"), "false");
    EXPECT_EQ(traceField(lines[0], "lives"), "5");
    EXPECT_EQ(traceField(lines[0], "mapY"), "3072");
    for (const char* key : {"difficultyMenuActive", "getReadyPending", "quitRequested", "menuCursor",
                            "difficultyCursor", "ship", "asteroids", "bullets", "boss", "bossShots", "sounds",
                            "sleeps", "presents", "screens"})
        EXPECT_FALSE(traceField(lines[0], key).empty()) << key;
    EXPECT_TRUE(traceField(lines[0], "draws").empty());
}

TEST_F(ReplayTest, SameScriptSameTraceByteForByte)
{
    const char* script = "10* .\nRETURN\n5* UP\nPAD=-3000,3000\n@FOCUS-LOST\n@FOCUS-GAINED\nF12\nESCAPE\n";
    ReplayRun first = replay(script, "--frames 200 --draws");
    ReplayRun second = replay(script, "--frames 200 --draws");
    ASSERT_EQ(first.process.exitCode, 0) << first.process.output;
    EXPECT_FALSE(first.trace.empty());
    EXPECT_EQ(first.trace, second.trace);
}

TEST_F(ReplayTest, FocusLostStopsFramesAndTheirReturnRebasesTheTimer)
{
    ReplayRun run = replay(".\n@FOCUS-LOST\n.\n@FOCUS-GAINED\n.\n", "--frames 6");
    ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
    auto lines = splitLines(run.trace);
    ASSERT_EQ(lines.size(), 6u);
    // The window procedure's pause on getting the focus back, and the passes
    // while unfocused, are not a frame's time: no frame measures more than an
    // ordinary menu frame (a 20 ms pass and the menu's 50 ms sleep).
    for (const auto& line : lines)
        EXPECT_LE(std::stof(traceField(line, "frameScale")), 3.5f) << line;
}

TEST_F(ReplayTest, DriverErrorEndsTheRunWithEighteen)
{
    ReplayRun run = replay(".\n@DRIVER-ERROR @FOCUS-LOST\n@FOCUS-GAINED\n", "--frames 50");
    EXPECT_EQ(run.process.exitCode, 18) << run.process.output;
}

TEST_F(ReplayTest, ClosingTheWindowEndsTheRunWithZero)
{
    ReplayRun run = replay(".\n@CLOSE\n", "--frames 50");
    EXPECT_EQ(run.process.exitCode, 0) << run.process.output;
    EXPECT_EQ(splitLines(run.trace).size(), 2u);
}

TEST_F(ReplayTest, BadArgumentsAndScriptsAreRefusedBeforeAnythingRuns)
{
    ReplayRun bad = replay("RETURN\nSPACE\nJUMP\n");
    EXPECT_EQ(bad.process.exitCode, 2);
    EXPECT_NE(bad.process.output.find("line 3"), std::string::npos) << bad.process.output;
    EXPECT_TRUE(bad.trace.empty());
    EXPECT_EQ(replay(".\n", "--frames -3").process.exitCode, 2);
    EXPECT_EQ(replay(".\n", "--start expert").process.exitCode, 2);
    EXPECT_EQ(replay(".\n", "--colour").process.exitCode, 2);
    EXPECT_EQ(runCommand(binaryPath("kestrelon-replay") + " --dir " + dir).exitCode, 2);
}

TEST_F(ReplayTest, MissingDataFailsStartUpWithOneAndNamesTheFile)
{
    for (const char* file : {"data/spacemap.bmp", "data/bosstest.png", "data/sound/_levelup.wav", "data/scores.txt"}) {
        std::string dir2 = makeGameDir();
        std::remove((dir2 + "/" + file).c_str());
        writeFile(dir2 + "/script.txt", ".\n");
        ProcessResult result = runCommand(binaryPath("kestrelon-replay") + " --dir " + dir2 + " --script " + dir2
                                          + "/script.txt --trace " + dir2 + "/trace.jsonl");
        EXPECT_EQ(result.exitCode, 1) << file;
        EXPECT_NE(result.output.find(file), std::string::npos) << result.output;
        EXPECT_TRUE(readFile(dir2 + "/trace.jsonl").empty());
        removeTree(dir2);
    }
}

TEST_F(ReplayTest, RenderedRunWritesARealScreenshotOnF12)
{
    // F12 is a key of play, so start at the new game.
    ReplayRun run = replay(".\nF12\n", "--frames 3 --render --start novice");
    ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
    std::string shot = readFile(dir + "/screen000.bmp");
    ASSERT_GT(shot.size(), 1024u * 768u * 3u);
    EXPECT_EQ(shot.substr(0, 2), "BM");
}
