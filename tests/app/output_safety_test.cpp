// What the programs write never hits what the player has: an output named on the
// command line is refused when it is an input of the run, the score table, a data file or
// another output (by identity, whatever the name); a recording does not replace a file
// without --overwrite; and a write that fails, at the start or later, ends the run with
// the file named and a non-zero exit, after saving a score owed to the table.
#include "app/window_proc.h"
#include "game/world.h"
#include "platform/call_log_service.h"
#include "platform/files.h"
#include "platform/script.h"
#include "platform/window.h"
#include "scores/name_entry.h"
#include "screens/menus.h"
#include "support/started_game.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct OutputSafetyTest : testing::Test {
    std::string dir = makeGameDir();
    std::string table = readFile(dir + "/data/scores.txt");
    ~OutputSafetyTest() override { removeTree(dir); }

    // The game in its folder, without a display: whatever is refused is refused
    // before a window would open.
    ProcessResult game(const std::string& arguments)
    {
        return runCommand("cd " + dir + " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                          + binaryPath("kestrelon") + " " + arguments);
    }
    ProcessResult replay(const std::string& arguments)
    {
        return runCommand("cd " + dir + " && " + binaryPath("kestrelon-replay") + " --dir " + dir + " "
                          + arguments);
    }
    // A short scripted session from the menu, recorded.
    void makeRecording(const std::string& name)
    {
        writeFile(dir + "/menu.script", "2* .\nDOWN\n.\n");
        ProcessResult made = replay("--script menu.script --trace /dev/null --record " + name);
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }
    void expectTableIntact() { EXPECT_EQ(readFile(dir + "/data/scores.txt"), table); }
};

void expectRefused(const ProcessResult& run, int exitCode, const std::string& says)
{
    EXPECT_EQ(run.exitCode, exitCode) << run.output;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("display"), std::string::npos) << "refused before any window: " << run.output;
}

} // namespace

TEST_F(OutputSafetyTest, NoOutputIsWrittenOverTheScoreTableADataFileOrAnInput)
{
    expectRefused(game("--record data/scores.txt"), 1, "data/scores.txt: it is the score table");
    expectRefused(game("--record data/scores.txt --overwrite"), 1, "it is the score table");
    expectTableIntact();

    makeRecording("game.rec");
    const std::string recording = readFile(dir + "/game.rec");
    expectRefused(game("--watch game.rec --trace data/scores.txt"), 1, "it is the score table");
    expectRefused(game("--watch game.rec --trace game.rec"), 1, "it is an input of this run");
    expectTableIntact();
    EXPECT_EQ(readFile(dir + "/game.rec"), recording);

    // By identity, not by name: a link, a hard link, another spelling.
    fs::create_symlink(dir + "/data/scores.txt", dir + "/link.txt");
    fs::create_hard_link(dir + "/data/scores.txt", dir + "/hard.txt");
    expectRefused(game("--record link.txt --overwrite"), 1, "it is the score table");
    expectRefused(game("--record hard.txt --overwrite"), 1, "it is the score table");
    expectRefused(game("--record ./data/../data/scores.txt --overwrite"), 1, "it is the score table");
    expectRefused(game("--record data/spaceship.png --overwrite"), 1, "it is one of the game's data files");
    expectTableIntact();

    // The replay runner: its script or recording, and its two outputs.
    expectRefused(replay("--script game.rec --trace game.rec"), 2, "it is an input of this run");
    writeFile(dir + "/s.script", ".\n");
    expectRefused(replay("--script s.script --trace t.jsonl --record s.script --overwrite"), 2,
                  "it is an input of this run");
    expectRefused(replay("--script s.script --trace data/sound/_hit.wav"), 2, "it is one of the game's data files");
    expectRefused(replay("--script s.script --record both.rec --trace both.rec"), 2, "already an output of this run");
    EXPECT_EQ(readFile(dir + "/game.rec"), recording);
    EXPECT_EQ(readFile(dir + "/s.script"), ".\n");
    expectTableIntact();
}

TEST_F(OutputSafetyTest, ARecordingReplacesAFileOnlyWithOverwrite)
{
    writeFile(dir + "/mine.rec", "the player's\n");
    expectRefused(game("--record mine.rec"), 1, "mine.rec already exists (give --overwrite to replace it)");
    writeFile(dir + "/s.script", "2* .\n");
    expectRefused(replay("--script s.script --trace /dev/null --record mine.rec"), 2, "already exists");
    EXPECT_EQ(readFile(dir + "/mine.rec"), "the player's\n");

    ProcessResult replaced = replay("--script s.script --trace /dev/null --record mine.rec --overwrite");
    ASSERT_EQ(replaced.exitCode, 0) << replaced.output;
    EXPECT_EQ(readFile(dir + "/mine.rec").rfind("# kestrelon recording 1\n", 0), 0u);

    // --overwrite means nothing without --record.
    EXPECT_EQ(game("--overwrite").exitCode, 2);
}

TEST_F(OutputSafetyTest, AWriteThatFailsEndsTheRunNamingTheFile)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    expectRefused(game("--record /dev/full --overwrite"), 1,
                  "cannot write the recording /dev/full: No space left on device");

    writeFile(dir + "/s.script", "200* .\n");
    ProcessResult full = replay("--script s.script --trace /dev/full");
    EXPECT_EQ(full.exitCode, 1) << full.output;
    EXPECT_NE(full.output.find("cannot write /dev/full: No space left on device"), std::string::npos) << full.output;

    // A disk that fills up later on (a file size limit stands in for it): the run
    // stops there with 1, the file named.
    ProcessResult later = runCommand("cd " + dir + " && trap '' XFSZ && prlimit --fsize=20000 "
                                     + binaryPath("kestrelon-replay") + " --dir " + dir
                                     + " --script s.script --trace t.jsonl");
    EXPECT_EQ(later.exitCode, 1) << later.output;
    EXPECT_NE(later.output.find("cannot write " + dir + "/t.jsonl: File too large"), std::string::npos)
        << later.output;
    EXPECT_LT(splitLines(readFile(dir + "/t.jsonl")).size(), 200u);
}

namespace {

// The sleeps name entry makes, as the call log hears them: the first after the first
// letter, the second after the second. At the second, a write fails.
int sleepsSeen = 0;
CallLogService failingAtTheSecondLetter()
{
    CallLogService failing = kNoCallLog;
    failing.sleep = [](uint32_t) {
        if (++sleepsSeen == 2)
            endRunForFailedWrite("trace.jsonl", "No space left on device");
    };
    return failing;
}

} // namespace

using OwedScoreTest = StartedGameTest;

TEST_F(OwedScoreTest, AWriteFailingDuringNameEntryKeepsTheLettersTypedSoFar)
{
    useWorkingFolder();
    score = 2600;
    lives = 0;
    // Space leaves the game-over picture; two polls later the letters count.
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(parseReplayScript("SPACE\n.\n.\nK\n.\nE\n.\nS\n.\nT\n100* .\n", steps, error)) << error;
    loadInputScript(steps);
    sleepsSeen = 0;
    const CallLogService failing = failingAtTheSecondLetter();
    useCallLog(failing);
    testing::internal::CaptureStderr();
    runGameOverScreen();
    const std::string said = testing::internal::GetCapturedStderr();
    useCallLog(kKeepingCallLog);

    EXPECT_NE(said.find("kestrelon: cannot write trace.jsonl: No space left on device"), std::string::npos) << said;
    EXPECT_NE(readFile("data/scores.txt").find("\r\n4 KE 2600\r\n"), std::string::npos) << readFile("data/scores.txt");
    Message message;
    ASSERT_TRUE(peekMessage(message));
    EXPECT_EQ(message.type, MessageType::Quit);
    EXPECT_EQ(message.param, 1) << "the run ends with 1";
}
