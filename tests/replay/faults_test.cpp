// Faults the game must survive or refuse cleanly: damaged or missing data,
// a score file that cannot be saved, the window closed or the focus lost at
// awkward moments, render targets lost in play, and no sound device.
#include "support/support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string kScenarios = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";

struct ReplayRun {
    ProcessResult process;
    std::string trace;
};

ReplayRun replayIn(const std::string& dir, const std::string& script, const std::string& options)
{
    writeFile(dir + "/fault.script", script);
    ReplayRun run;
    run.process = runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + dir
                             + "/fault.script --trace " + dir + "/fault.jsonl " + options);
    run.trace = readFile(dir + "/fault.jsonl");
    return run;
}

// Start-up refuses the folder: exit 1, the file named, nothing written.
void expectRefused(const std::string& dir, const std::string& file)
{
    std::string scoresBefore = readFile(dir + "/data/scores.txt");
    ReplayRun run = replayIn(dir, "RETURN\n", "--frames 5");
    EXPECT_EQ(run.process.exitCode, 1) << file;
    EXPECT_NE(run.process.output.find("data/" + file), std::string::npos) << run.process.output;
    EXPECT_TRUE(run.trace.empty()) << file;
    EXPECT_EQ(readFile(dir + "/data/scores.txt"), scoresBefore);
    EXPECT_FALSE(fs::exists(dir + "/screen000.bmp"));
}

} // namespace

TEST(Faults, EveryDataFileMissingOrCutShortStopsStartUp)
{
    int cases = 0;
    for (const char* file : kGameDataFiles) {
        SCOPED_TRACE(file);
        std::string dir = makeGameDir();
        fs::remove(dir + "/data/" + file);
        expectRefused(dir, file);
        std::string whole = readFile(dataFile(file));
        writeFile(dir + "/data/" + file, whole.substr(0, whole.size() / 2));
        expectRefused(dir, file);
        removeTree(dir);
        cases += 2;
    }
    std::string dir = makeGameDir();
    fs::remove(dir + "/data/scores.txt");
    expectRefused(dir, "scores.txt");
    // Start-up stops at the first file it misses: the map's picture is read
    // before every sound, so a missing sound is not reached.
    fs::copy_file(dataFile("spacemap.bmp"), dir + "/data/spacemap.bmp", fs::copy_options::overwrite_existing);
    writeFile(dir + "/data/scores.txt", readFile(std::string(KESTRELON_SOURCE_DIR) + "/tests/support/scores.txt"));
    fs::remove(dir + "/data/spacemap.bmp");
    fs::remove(dir + "/data/sound/_shoot.wav");
    ReplayRun bothMissing = replayIn(dir, ".\n", "--frames 1");
    EXPECT_NE(bothMissing.process.output.find("data/spacemap.bmp"), std::string::npos) << bothMissing.process.output;
    EXPECT_EQ(bothMissing.process.output.find("_shoot.wav"), std::string::npos) << bothMissing.process.output;
    removeTree(dir);
    EXPECT_EQ(cases, 46);
}

TEST(Faults, DamagedPicturesAndSoundsStopStartUp)
{
    struct Damage { const char* file; std::string bytes; };
    const Damage damages[] = {
        {"spaceship.png", "\x89PNG\r\n\x1a\n" + std::string(600, 'x')},
        {"gameover.bmp", "BM" + std::string(600, '\xff')},
        {"asteroid.tga", std::string("\0\0\x02\0\0\0\0\0\0\0\0\0\xe0\x01\xe0\x01\x20\x28", 18) + std::string(900, 'q')},
        {"sound/_hit.wav", "RIFF\x10\0\0\0WAVEfmt " + std::string(300, '\x7f')},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.file);
        std::string dir = makeGameDir();
        writeFile(dir + "/data/" + damage.file, damage.bytes);
        expectRefused(dir, damage.file);
        removeTree(dir);
    }
}

TEST(Faults, AScoreFileThatCannotBeSavedKeepsTheOldOneAndTheGameGoesOn)
{
    std::string dir = makeGameDir();
    std::string before = readFile(dir + "/data/scores.txt");
    // The player made the table read-only: it is not replaced.
    fs::permissions(dir + "/data/scores.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ReplayRun run = replayIn(dir, readFile(kScenarios + "game_lost_named.script"), "--start novice --frames 4400");
    EXPECT_EQ(run.process.exitCode, 0);
    EXPECT_NE(run.process.output.find("data/scores.txt"), std::string::npos) << run.process.output;
    EXPECT_EQ(readFile(dir + "/data/scores.txt"), before);
    auto lines = splitLines(run.trace);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(traceField(lines.back(), "mode"), "\"menu\"");
    removeTree(dir);
}

TEST(Faults, ClosingTheWindowOnABlockingScreenEndsTheGameWithZero)
{
    struct Case { const char* what; std::string script; std::string options; };
    const Case cases[] = {
        {"the table from the menu", "2* .\nDOWN\n.\nRETURN\n.\n@CLOSE\n5* .\n", "--frames 50"},
        {"the credits", "2* .\nDOWN\n.\nDOWN\n.\nDOWN\n.\nRETURN\n.\n@CLOSE\n5* .\n", "--frames 50"},
        {"the table after a game", readFile(kScenarios + "game_lost_unplaced.script").substr(0) , "--start novice --frames 400"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string dir = makeGameDir();
        std::string script = c.script;
        if (std::string(c.what) == "the table after a game") {
            // Leave the game-over picture, then close the window on the table.
            size_t cut = script.rfind("SPACE\n.\nSPACE\n");
            script = script.substr(0, cut) + "SPACE\n.\n@CLOSE\n5* .\n";
        }
        ReplayRun run = replayIn(dir, script, c.options);
        EXPECT_EQ(run.process.exitCode, 0) << run.process.output;
        auto lines = splitLines(run.trace);
        ASSERT_FALSE(lines.empty());
        EXPECT_LT(lines.size(), 400u);
        removeTree(dir);
    }
}

TEST(Faults, FocusLostInPlayStopsFramesAndTheShipFliesOnAfterward)
{
    std::string dir = makeGameDir();
    ReplayRun run = replayIn(dir, "2* .\n@FOCUS-LOST\n5* RIGHT\n@FOCUS-GAINED\n3* .\n10* RIGHT\n", "--start novice --frames 16");
    ASSERT_EQ(run.process.exitCode, 0) << run.process.output;
    auto lines = splitLines(run.trace);
    ASSERT_EQ(lines.size(), 16u);
    // The keys held while the window had no focus moved nothing; the later
    // ones did, a frame's worth each.
    EXPECT_EQ(traceField(lines[5], "ship"), "{\"x\":449,\"y\":576}");
    EXPECT_EQ(traceField(lines.back(), "ship"), "{\"x\":529,\"y\":576}");
    removeTree(dir);
}

// The mean brightness of a screenshot (24-bit BMP) and of its star-map part.
double meanBrightness(const std::string& bmp)
{
    const size_t offset = 54, rowBytes = 1024 * 3;
    double sum = 0;
    for (size_t row = 0; row < 768; ++row)
        for (size_t x = 200; x < 800; ++x)   // the sky between the ammunition column and the HUD
            for (int channel = 0; channel < 3; ++channel)
                sum += static_cast<unsigned char>(bmp[offset + row * rowBytes + x * 3 + channel]);
    return sum / (768.0 * 600.0 * 3.0);
}

TEST(Faults, RenderTargetsLostInPlayAreRemadeAndDrawnAsBefore)
{
    // The recovery takes (virtual) time, so the game after it is not the game
    // of a run without it; but the picture must still be whole: the map
    // composed again into the new map buffer, not left black.
    std::string before = makeGameDir();
    std::string after = makeGameDir();
    ReplayRun early = replayIn(before, "19* RIGHT\nF12\n", "--start novice --frames 20 --render");
    ReplayRun late = replayIn(after, "20* RIGHT\n@TARGETS-RESET\n9* .\nF12\n", "--start novice --frames 31 --render");
    ASSERT_EQ(early.process.exitCode, 0) << early.process.output;
    ASSERT_EQ(late.process.exitCode, 0) << late.process.output;
    std::string first = readFile(before + "/screen000.bmp");
    std::string second = readFile(after + "/screen000.bmp");
    ASSERT_EQ(first.size(), 54u + 1024u * 768u * 3u);
    ASSERT_EQ(second.size(), first.size());
    double a = meanBrightness(first), b = meanBrightness(second);
    EXPECT_GT(a, 5.0);
    EXPECT_NEAR(b, a, a * 0.15) << "the sky after the reset is not the sky before it";
    // And the frames went on: the reset run drew every frame after it.
    auto lines = splitLines(late.trace);
    ASSERT_EQ(lines.size(), 31u);
    for (size_t i = 21; i < lines.size(); ++i)
        EXPECT_EQ(traceField(lines[i], "presents"), "1") << i;
    removeTree(before);
    removeTree(after);
}

TEST(Faults, WithoutASoundDeviceTheRealGameRunsSilentlyAndEndsCleanly)
{
    std::string dir = makeGameDir();
    fs::create_directory(dir + "/run");
    // SDL's dummy output is no device at all; SIGTERM closes the window.
    // (Libraries SDL loads and unloads on its own keep memory that a leak
    // check cannot even name, so leak checking is off for this real run.)
    ProcessResult run = runCommand("cd " + dir + " && ASAN_OPTIONS=detect_leaks=0 XDG_RUNTIME_DIR=" + dir
                                   + "/run SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 3 "
                                   + binaryPath("kestrelon"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    removeTree(dir);
}
