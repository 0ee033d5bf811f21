// Whole games played from committed scripts, compared with their committed
// traces line by line: any change in what the game does shows up here, with
// the first frame that differs. After an intended change, scenarios/refresh.sh
// writes the traces anew.
#include "support/support.h"

#include <gtest/gtest.h>

#include <fstream>
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

} // namespace

TEST(Scenarios, EveryScriptReplaysItsTraceExactly)
{
    auto list = scenarios();
    ASSERT_GE(list.size(), 2u);
    const std::string folder = std::string(KESTRELON_SOURCE_DIR) + "/tests/replay/scenarios/";
    for (const Scenario& scenario : list) {
        SCOPED_TRACE(scenario.name);
        std::string dir = makeGameDir();
        ProcessResult run = runCommand(binaryPath("kestrelon-replay") + " --dir " + dir + " --script " + folder
                                       + scenario.name + ".script --trace " + dir + "/trace.jsonl --draws --frames "
                                       + scenario.frames
                                       + (scenario.start == "menu" ? "" : " --start " + scenario.start));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        auto actual = splitLines(readFile(dir + "/trace.jsonl"));
        auto expected = splitLines(runCommand("gzip -dc " + folder + scenario.name + ".trace.gz").output);
        ASSERT_FALSE(expected.empty());
        for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "first difference in frame " << i + 1;
        EXPECT_EQ(actual.size(), expected.size());
        removeTree(dir);
    }
}
