// The generator as the build uses it: the score file, determinism, and the
// command line.
#include "support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

using namespace assettest;

namespace {

struct GeneratorRun {
    int status;
    std::string err;
};

// Runs the built generator with the arguments; captures stderr.
GeneratorRun runGenerator(const std::string& args, const std::string& errFile)
{
    const std::string command = std::string("'") + KESTRELON_ASSETGEN + "' " + args + " 2>'" + errFile + "'";
    const int raw = std::system(command.c_str());
    GeneratorRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, {}};
    std::ifstream in(errFile);
    std::stringstream s;
    s << in.rdbuf();
    r.err = s.str();
    return r;
}

std::string readText(const std::string& path)
{
    const std::vector<uint8_t> b = readBytes(path);
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(Scores, ScoresOnlyWritesTenPlacesInTheGamesFormatAndNothingElse)
{
    TempDir dir;
    assetgen::Options options;
    options.outDir = dir.path() + "/data";
    options.scoresOnly = true;
    std::string error;
    ASSERT_TRUE(assetgen::generate(options, error)) << error;
    EXPECT_EQ(filesIn(options.outDir), std::vector<std::string>{"scores.txt"});

    const std::string text = readText(options.outDir + "/scores.txt");
    const std::regex line("([0-9]+) ([A-Z]{1,6}) ([0-9]+)\r\n");
    int places = 0;
    long previous = -1, first = 0, last = 0;
    auto it = std::sregex_iterator(text.begin(), text.end(), line);
    size_t consumed = 0;
    for (; it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        EXPECT_EQ(static_cast<size_t>(m.position(0)), consumed) << "stray text before place " << places + 1;
        consumed = m.position(0) + m.length(0);
        ++places;
        EXPECT_EQ(std::stoi(m[1]), places);
        const long score = std::stol(m[3]);
        if (previous >= 0) {
            EXPECT_LE(score, previous) << "place " << places;
        }
        if (places == 1)
            first = score;
        last = score;
        previous = score;
    }
    EXPECT_EQ(places, 10);
    EXPECT_EQ(consumed, text.size()) << "nothing may follow the last CR LF";
    EXPECT_GE(first, 1000);
    EXPECT_LE(last, 200) << "a beginner should be able to get on the table";
    EXPECT_GT(first, last);
}

TEST(Scores, AnExistingTableIsNeverOverwritten)
{
    TempDir dir;
    const std::string mine = "1 ME 99999\r\n2 YOU 5\r\n";
    {
        std::ofstream out(dir.file("scores.txt"), std::ios::binary);
        out << mine;
    }
    assetgen::Options options;
    options.outDir = dir.path();
    options.scoresOnly = true;
    std::string error;
    ASSERT_TRUE(assetgen::generate(options, error)) << error;
    EXPECT_EQ(readText(dir.file("scores.txt")), mine);
    // A full run (here limited to one small file) leaves it alone too.
    generateInto(dir.path(), {"bosshealth.bmp"});
    EXPECT_EQ(readText(dir.file("scores.txt")), mine);
    EXPECT_TRUE(exists(dir.file("bosshealth.bmp")));
}

TEST(Generation, CommandLineAndLibraryWriteTheSameBytesForEveryFile)
{
    TempDir one, two;
    const GeneratorRun r = runGenerator("--out '" + one.path() + "/data' --contact-sheet '" + one.path() + "/sheet.png'",
                               one.path() + "/err.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    generateInto(two.path());

    std::vector<std::string> expected = assetgen::generatedFiles();
    expected.push_back("scores.txt");
    std::sort(expected.begin(), expected.end());
    // Every file, and no temporary file left behind.
    EXPECT_EQ(filesIn(one.path() + "/data"), expected);
    EXPECT_EQ(filesIn(two.path()), expected);
    for (const std::string& name : expected) {
        const std::vector<uint8_t> a = readBytes(one.path() + "/data/" + name), b = readBytes(two.file(name));
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between two runs";
    }
    const std::vector<uint8_t> sheet = readBytes(one.path() + "/sheet.png");
    ASSERT_GT(sheet.size(), 8u);
    EXPECT_EQ(std::string(sheet.begin() + 1, sheet.begin() + 4), "PNG");
}

TEST(Generation, FailuresExitNonZeroWithOneLineOnStderr)
{
    TempDir dir;
    {
        std::ofstream out(dir.file("not-a-folder"));
        out << "x";
    }
    const std::string err = dir.file("err.txt");
    const GeneratorRun cases[] = {
        runGenerator("", err),
        runGenerator("--frobnicate", err),
        runGenerator("--out", err),
        runGenerator("--out '" + dir.file("not-a-folder") + "/data'", err),
    };
    for (const GeneratorRun& r : cases) {
        EXPECT_NE(r.status, 0);
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}
