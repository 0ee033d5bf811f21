// Whole games played from committed scripts, compared with their committed
// traces line by line: any change in what the game does shows up here, with
// the first frame that differs. After an intended change, scenarios/refresh.sh
// writes the traces anew.
#include "support/support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

struct Scenario {
    std::string name, start, frames;
};

std::vector<Scenario> scenarios()
{
    std::vector<Scenario> list;
    std::ifstream in(std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/scenarios.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Scenario scenario;
        fields >> scenario.name >> scenario.start >> scenario.frames;
        list.push_back(scenario);
    }
    return list;
}

// Names the scenario in the test list and in failures.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

struct ScenarioTest : testing::TestWithParam<Scenario> {};

} // namespace

TEST_P(ScenarioTest, ReplaysItsTraceExactly)
{
    const Scenario& scenario = GetParam();
    const std::string folder = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";
    std::string dir = makeGameDir();
    // A recording plays from where it was recorded; a script from the menu or a start.
    const bool recording = scenario.start == "recording";
    const std::string start = scenario.start == "menu" || recording ? "" : " --start " + scenario.start;
    ProcessResult run = runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + folder
                                   + scenario.name + (recording ? ".rec" : ".script") + " --trace " + dir
                                   + "/trace.jsonl --draws --frames " + scenario.frames + start);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto actual = splitLines(readFile(dir + "/trace.jsonl"));
    auto expected = splitLines(runCommand("gzip -dc " + folder + scenario.name + ".trace.gz").output);
    ASSERT_FALSE(expected.empty());
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "first difference in frame " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
    removeTree(dir);
}

// One test per committed scenario, named after it, so that one that fails
// does not hide the others.
INSTANTIATE_TEST_SUITE_P(Committed, ScenarioTest, testing::ValuesIn(scenarios()),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// Every script and recording in the folder is listed, so none is left out of the run.
TEST(Scenarios, EveryCommittedScriptIsListedWithItsTrace)
{
    const std::string folder = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";
    std::set<std::string> listed;
    for (const Scenario& scenario : scenarios()) {
        listed.insert(scenario.name);
        EXPECT_TRUE(std::filesystem::exists(folder + scenario.name + ".trace.gz")) << scenario.name;
    }
    EXPECT_GE(listed.size(), 2u);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".script" || entry.path().extension() == ".rec") {
            EXPECT_TRUE(listed.count(entry.path().stem().string())) << entry.path() << " is not in scenarios.txt";
        }
    }
}
