// Recordings: the file written reads back as what was recorded; damaged
// files are refused with the line named; a scripted session recorded and
// played back gives the same trace frame for frame, also when the recording
// was cut short at any byte; and the game itself refuses what it cannot
// record to or watch before it opens a window.
#include "platform/recording.h"
#include "platform/recording_format.h"
#include "platform/script.h"
#include "platform/tape/recording_writer.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

Recording parsed(const std::string& text)
{
    Recording recording;
    std::string error;
    EXPECT_TRUE(parseRecording(text, recording, error)) << error;
    return recording;
}

std::string refusal(const std::string& text)
{
    Recording recording;
    std::string error;
    EXPECT_FALSE(parseRecording(text, recording, error)) << text;
    return error;
}

const std::string kHeader = std::string(kRecordingHeader) + "\n";

} // namespace

TEST(RecordingFormat, WhatIsWrittenReadsBackAsItWasRecorded)
{
    std::string dir = makeGameDir();
    std::string error;
    ASSERT_TRUE(startRecording(std::fopen((dir + "/session.rec").c_str(), "wb"), dir + "/session.rec", error)) << error;
    recordScoreTable("1 ACE 5000\r\n2  0\r\n");
    recordSoundAnswer({SoundAnswer::Kind::Version, 279571, 0, {}});
    recordSoundAnswer({SoundAnswer::Kind::Caps, 1, 6, {}});
    recordSoundAnswer({SoundAnswer::Kind::Name, 1, 0, "Built-in Audio Analog Stereo"});
    for (uint32_t step : {0u, 20000u, 417u, 4294967295u})
        recordClock(step);
    for (int i = 0; i < 3; ++i)
        recordKeyboard({InputResult::Ok, {0x39, 0xCB}});
    recordKeyboard({InputResult::InputLost, {}});
    recordKeyboard({});
    recordAcquisition(InputResult::NotAcquired);
    recordPad({});
    recordPad({true, -32768, 32767});
    recordPad({true, -32768, 32767});
    for (char answer : {'y', 'y', 'n', '-'})
        recordChannel(answer);
    SystemMessage lost{{MessageType::ActivateApp, 1}, SystemMessage::Lost::WholeDevice};
    recordWindow(false, {});
    recordWindow(false, {});
    recordWindow(true, lost);
    recordWindow(false, {});
    recordReset(false);
    recordEnded(false);
    recordEnded(true);
    finishRecording();

    Recording read = parsed(readFile(dir + "/session.rec"));
    EXPECT_EQ(read.scoreTable, "1 ACE 5000\n2  0\n");
    ASSERT_EQ(read.soundSetUp.size(), 3u);
    EXPECT_EQ(read.soundSetUp[0].first, 279571);
    EXPECT_EQ(read.soundSetUp[1].second, 6);
    EXPECT_EQ(read.soundSetUp[2].name, "Built-in Audio Analog Stereo");
    EXPECT_EQ(read.clock, (std::deque<uint32_t>{0, 20000, 417, 4294967295u}));
    ASSERT_EQ(read.keyboard.size(), 3u);
    EXPECT_EQ(read.keyboard[0].count, 3u);
    EXPECT_EQ(read.keyboard[0].value.keys, (std::vector<uint8_t>{0x39, 0xCB}));
    EXPECT_EQ(read.keyboard[1].value.result, InputResult::InputLost);
    EXPECT_TRUE(read.keyboard[2].value.keys.empty());
    EXPECT_EQ(read.acquisitions, (std::deque<InputResult>{InputResult::NotAcquired}));
    ASSERT_EQ(read.pads.size(), 2u);
    EXPECT_FALSE(read.pads[0].value.connected);
    EXPECT_EQ(read.pads[1].count, 2u);
    EXPECT_EQ(read.pads[1].value, (PadRead{true, -32768, 32767}));
    ASSERT_EQ(read.channels.size(), 3u);
    EXPECT_EQ(read.channels[0].value, 'y');
    EXPECT_EQ(read.channels[0].count, 2u);
    EXPECT_EQ(read.channels[2].value, '-');
    ASSERT_EQ(read.window.size(), 2u);
    EXPECT_EQ(read.window[0].nothingBefore, 2u);
    EXPECT_TRUE(read.window[0].hasMessage);
    EXPECT_EQ(read.window[0].message.lost, SystemMessage::Lost::WholeDevice);
    EXPECT_EQ(read.window[1].nothingBefore, 1u);
    EXPECT_EQ(read.resets, (std::deque<bool>{false}));
    EXPECT_EQ(read.ended, (std::deque<EndedAnswers>{{1, true}}));
    EXPECT_TRUE(read.finished);
    // What the writer wrote is what the format prints for it.
    EXPECT_EQ(parsed(printRecording(read)), read);
    removeTree(dir);
}

TEST(RecordingFormat, AnotherVersionOrADamagedLineIsRefusedWithItsLine)
{
    EXPECT_EQ(refusal("# kestrelon recording 2\nt 5\n").rfind("line 1:", 0), 0u);
    EXPECT_EQ(refusal("kestrelon\n").rfind("line 1:", 0), 0u);
    EXPECT_EQ(refusal("").rfind("line 1:", 0), 0u);
    const struct {
        const char* line;
        const char* says;
    } damaged[] = {
        {"t 20000 2x0", "clock"},
        {"t 4294967296", "clock"},
        {"k 3* RIGHT WING", "unknown key"},
        {"k 0* .", "repeat"},
        {"k . RIGHT", "\".\""},
        {"k", "keys"},
        {"p 3* 40000,0", "stick"},
        {"s 4*x", "channel"},
        {"m 3 EXPLODE", "window message"},
        {"m", "count"},
        {"acquire maybe", "acquisition"},
        {"reset 2", "reset"},
        {"ended -1", "ended"},
        {"sound caps 1", "caps"},
        {"warp 9", "unknown line"},
    };
    for (const auto& d : damaged) {
        std::string error = refusal(kHeader + "# fine so far\nt 1 2 3\n" + d.line + "\nt 4\n");
        EXPECT_EQ(error.rfind("line 4:", 0), 0u) << d.line << ": " << error;
        EXPECT_NE(error.find(d.says), std::string::npos) << d.line << ": " << error;
    }
    EXPECT_EQ(refusal(kHeader + "end\nt 4\n").rfind("line 3:", 0), 0u);
}

TEST(RecordingFormat, ALastLineCutShortIsLeftOut)
{
    Recording read = parsed(kHeader + "t 100 200\nt 300 40");
    EXPECT_EQ(read.clock, (std::deque<uint32_t>{100, 200}));
    EXPECT_FALSE(read.finished);
    // Even a key name cut in half is no damage.
    EXPECT_TRUE(parsed(kHeader + "k 3* RIGHT\nk RIG").keyboard.size() == 1);
}

namespace {

// A session from the menu: New game, Novice, then a committed game's keys.
std::string sessionFromTheMenu(const char* scenario)
{
    return "2* .\nRETURN\n.\nRETURN\n.\n"
           + readFile(std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/" + scenario + ".script");
}

struct RecordingRunTest : testing::Test {
    std::string dir = makeGameDir();
    ~RecordingRunTest() override { removeTree(dir); }

    ProcessResult replay(const std::string& input, const std::string& trace, const std::string& extra = "")
    {
        return runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + input + " --trace "
                          + trace + " " + extra);
    }
};

} // namespace

TEST_F(RecordingRunTest, ASessionRecordedPlaysBackFrameForFrame)
{
    const std::string scoresBefore = readFile(dir + "/data/scores.txt");
    for (const char* scenario : {"game_lost_named", "hero_game"}) {
        SCOPED_TRACE(scenario);
        writeFile(dir + "/session.script", sessionFromTheMenu(scenario));
        ProcessResult live = replay(dir + "/session.script", dir + "/live.jsonl",
                                    "--frames 20000 --draws --overwrite --record " + dir + "/session.rec");
        ASSERT_EQ(live.exitCode, 0) << live.output;
        const std::string scoresAfterLive = readFile(dir + "/data/scores.txt");
        // The live run ended at its frame limit, so the played one must too.
        ProcessResult back = replay(dir + "/session.rec", dir + "/back.jsonl", "--frames 20000 --draws");
        ASSERT_EQ(back.exitCode, 0) << back.output;
        auto liveLines = splitLines(readFile(dir + "/live.jsonl"));
        auto backLines = splitLines(readFile(dir + "/back.jsonl"));
        ASSERT_GT(liveLines.size(), 1000u);
        ASSERT_EQ(backLines.size(), liveLines.size());
        for (size_t i = 0; i < liveLines.size(); ++i)
            ASSERT_EQ(backLines[i], liveLines[i]) << "first difference in frame " << i + 1;
        // The recording's own table is played in memory: the folder's file
        // stays as the live run left it.
        EXPECT_EQ(readFile(dir + "/data/scores.txt"), scoresAfterLive);
        writeFile(dir + "/data/scores.txt", scoresBefore);
    }
}

TEST_F(RecordingRunTest, ARecordingCutAtAnyBytePlaysUpToThereAndEndsWell)
{
    writeFile(dir + "/session.script", sessionFromTheMenu("game_lost_unplaced") + "3* .\n");
    ASSERT_EQ(replay(dir + "/session.script", dir + "/live.jsonl", "--record " + dir + "/whole.rec").exitCode, 0);
    const std::string whole = readFile(dir + "/whole.rec");
    auto liveLines = splitLines(readFile(dir + "/live.jsonl"));
    std::srand(7);
    for (int cut = 0; cut < 12; ++cut) {
        const size_t at = cut == 0 ? whole.size() - 1 : 30 + static_cast<size_t>(std::rand()) % (whole.size() - 30);
        SCOPED_TRACE("cut at byte " + std::to_string(at) + " of " + std::to_string(whole.size()));
        writeFile(dir + "/cut.rec", whole.substr(0, at));
        ProcessResult back = replay(dir + "/cut.rec", dir + "/back.jsonl");
        ASSERT_EQ(back.exitCode, 0) << back.output;
        auto backLines = splitLines(readFile(dir + "/back.jsonl"));
        ASSERT_LE(backLines.size(), liveLines.size() + 1);
        // Every frame but the one that found the recording's end is as live.
        for (size_t i = 0; i + 1 < backLines.size(); ++i)
            ASSERT_EQ(backLines[i], liveLines[i]) << "frame " << i + 1;
    }
}

TEST_F(RecordingRunTest, ReplayRefusesADamagedRecordingAndAStartItCannotKeep)
{
    writeFile(dir + "/bad.rec", kHeader + "t 5 5\nk HOLD\n");
    ProcessResult bad = replay(dir + "/bad.rec", dir + "/t.jsonl");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.output.find("line 3"), std::string::npos) << bad.output;
    writeFile(dir + "/good.rec", kHeader + "t 5\n");
    EXPECT_EQ(replay(dir + "/good.rec", dir + "/t.jsonl", "--start novice").exitCode, 2);
    writeFile(dir + "/s.script", ".\n");
    EXPECT_EQ(replay(dir + "/s.script", dir + "/t.jsonl", "--start novice --record " + dir + "/x.rec").exitCode, 2);
}

TEST_F(RecordingRunTest, TheGameRefusesWhatItCannotRecordToOrWatchBeforeAnyWindow)
{
    // No display at all: whatever gets as far as a window fails differently.
    const std::string game = "cd " + dir + " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                             + binaryPath("kestrelon");
    ProcessResult noFolder = runCommand(game + " --record " + dir + "/no/such/folder/x.rec");
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_NE(noFolder.output.find("no/such/folder/x.rec"), std::string::npos) << noFolder.output;
    EXPECT_EQ(noFolder.output.find("display"), std::string::npos) << noFolder.output;

    writeFile(dir + "/old.rec", "# kestrelon recording 0\nt 5\n");
    ProcessResult old = runCommand(game + " --watch old.rec");
    EXPECT_EQ(old.exitCode, 1);
    EXPECT_NE(old.output.find("old.rec: line 1"), std::string::npos) << old.output;

    writeFile(dir + "/damaged.rec", kHeader + "t 5\nm 2 FOCUS-STOLEN\n");
    ProcessResult damaged = runCommand(game + " --watch damaged.rec");
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.output.find("damaged.rec: line 3"), std::string::npos) << damaged.output;

    ProcessResult missing = runCommand(game + " --watch nowhere.rec");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("nowhere.rec"), std::string::npos) << missing.output;
}

TEST_F(RecordingRunTest, WhatIsNotARecordingIsRefusedWithAClearLine)
{
    // A folder, a FIFO without a writer (which would block), a device.
    std::filesystem::create_directory(dir + "/folder.rec");
    ASSERT_EQ(mkfifo((dir + "/fifo.rec").c_str(), 0644), 0);
    const struct {
        std::string path;
        const char* says;
    } notFiles[] = {{dir + "/folder.rec", "it is a folder"}, {dir + "/fifo.rec", "not a plain file"},
                    {"/dev/zero", "not a plain file"}};
    for (const auto& notFile : notFiles) {
        ProcessResult run = runCommand("timeout 20 " + binaryPath("kestrelon-replay") + " --dir " + dir + " --script "
                                       + notFile.path + " --trace " + dir + "/t.jsonl");
        EXPECT_EQ(run.exitCode, 2) << notFile.path << ": " << run.output;
        EXPECT_NE(run.output.find(notFile.says), std::string::npos) << run.output;
    }

    // Damaged bytes are shown escaped, never sent raw to the terminal.
    writeFile(dir + "/escape.rec", kHeader + "t 5\n\x1b[2J\x1b]0;owned\x07\n");
    ProcessResult escape = replay(dir + "/escape.rec", dir + "/t.jsonl");
    EXPECT_EQ(escape.exitCode, 2);
    EXPECT_NE(escape.output.find("line 3: unknown line \"\\x1b[2J\\x1b]0;owned\\x07\""), std::string::npos)
        << escape.output;
    EXPECT_EQ(escape.output.find('\x1b'), std::string::npos);
    writeFile(dir + "/escape.script", "RIGHT \x9b" "31m\n");
    ProcessResult script = replay(dir + "/escape.script", dir + "/t.jsonl");
    EXPECT_NE(script.output.find("unknown key \"\\x9b31m\""), std::string::npos) << script.output;

    // A line longer than any the game writes.
    writeFile(dir + "/long.rec", kHeader + "t 5\n" + std::string(5000, 'k') + "\nt 6\n");
    ProcessResult tooLong = replay(dir + "/long.rec", dir + "/t.jsonl");
    EXPECT_EQ(tooLong.exitCode, 2);
    EXPECT_NE(tooLong.output.find("line 3: longer than 4096 bytes"), std::string::npos) << tooLong.output;
}

TEST_F(RecordingRunTest, ARecordingWhoseStreamsStandTooFarApartEndsWhereThatIsFound)
{
    // Clock readings and nothing else: the game's first question (the sound
    // set-up's) finds no answer within what may be held.
    std::string lines = kHeader;
    for (int line = 0; line < 5000; ++line)
        lines += "t 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 "
                 "35 36 37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 57 58 59 60 61 62 63 64\n";
    writeFile(dir + "/apart.rec", lines);
    ProcessResult run = replay(dir + "/apart.rec", dir + "/t.jsonl");
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find("stand too far apart"), std::string::npos) << run.output;
}

TEST(RecordingChecks, AGameThatNoLongerPlaysTheRecordingStopsAtTheFirstCheckThatDisagrees)
{
    const std::string scenarios = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";
    std::string dir = makeGameDir();
    const std::string run = " --dir " + dir + " --script " + scenarios + "recorded_game.rec --trace " + dir + "/t.jsonl";
    // The same game: every check passes (the trace is the scenario's own test).
    EXPECT_EQ(runCommand(binaryPath("kestrelon-replay") + run).exitCode, 0);
    // Its random numbers changed: the first check after that stops it, naming
    // the frame and the program that made the recording.
    ProcessResult altered = runCommand(binaryPath("kestrelon-replay-altered") + run);
    EXPECT_EQ(altered.exitCode, 2) << altered.output;
    EXPECT_NE(altered.output.find("the game no longer plays as recorded: it differs after frame 6 "
                                  "(the recording was made by kestrelon 0.3)"),
              std::string::npos)
        << altered.output;
    EXPECT_LE(splitLines(readFile(dir + "/t.jsonl")).size(), 7u) << "it went on after the check";
    // (A recording made before there were checks plays as it did: a scenario.)
    removeTree(dir);
}

TEST(RecordingFormat, EveryCommittedRecordingAndScriptPrintsBackToItself)
{
    const std::string source = KESTRELON_SOURCE_DIR;
    int recordings = 0, scripts = 0;
    for (const char* folder : {"/tests/replay/scenarios", "/tests/fuzz/replay_script/corpus"})
        for (const auto& entry : std::filesystem::directory_iterator(source + folder)) {
            const std::string text = readFile(entry.path().string());
            std::string error;
            // The fuzzer's seeds hold damaged ones on purpose; the scenarios none.
            const bool seed = std::string(folder).find("fuzz") != std::string::npos;
            if (looksLikeRecording(text)) {
                Recording read;
                if (seed && !parseRecording(text, read, error))
                    continue;
                ASSERT_TRUE(parseRecording(text, read, error)) << entry.path() << ": " << error;
                Recording again;
                ASSERT_TRUE(parseRecording(printRecording(read), again, error)) << entry.path() << ": " << error;
                EXPECT_EQ(again, read) << entry.path();
                ++recordings;
            } else if (entry.path().extension() != ".gz" && entry.path().extension() != ".txt"
                       && entry.path().extension() != ".sh") {
                std::vector<ScriptStep> steps, again;
                if (seed && !parseReplayScript(text, steps, error))
                    continue;
                ASSERT_TRUE(parseReplayScript(text, steps, error)) << entry.path() << ": " << error;
                ASSERT_TRUE(parseReplayScript(printReplayScript(steps), again, error)) << entry.path() << ": " << error;
                ASSERT_EQ(again.size(), steps.size()) << entry.path();
                for (size_t i = 0; i < steps.size(); ++i)
                    EXPECT_TRUE(again[i].keysDown == steps[i].keysDown && again[i].padSet == steps[i].padSet
                                && again[i].padX == steps[i].padX && again[i].padY == steps[i].padY
                                && again[i].events == steps[i].events && again[i].repeat == steps[i].repeat
                                && again[i].deviceLostTests == steps[i].deviceLostTests)
                        << entry.path() << ", step " << i;
                ++scripts;
            }
        }
    EXPECT_GE(recordings, 3);   // the two scenarios and a seed
    EXPECT_GE(scripts, 10);
}
