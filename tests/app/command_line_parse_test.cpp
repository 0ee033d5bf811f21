// Reading the command line: the options and their file names in both
// spellings, and every way to get it wrong.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CommandLine parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "kestrelon");
    return parseCommandLine(static_cast<int>(words.size()), words.data());
}

} // namespace

TEST(CommandLineParse, OptionsTakeTheirFileEitherWay)
{
    CommandLine plain = parse({});
    EXPECT_EQ(plain.action, CommandLine::Action::Play);
    EXPECT_TRUE(plain.record.empty() && plain.watch.empty() && plain.trace.empty());

    CommandLine record = parse({"--record", "my game.txt", "--trace=t.jsonl"});
    EXPECT_EQ(record.action, CommandLine::Action::Play);
    EXPECT_EQ(record.record, "my game.txt");
    EXPECT_EQ(record.trace, "t.jsonl");

    CommandLine watch = parse({"--watch=a=b.txt"});
    EXPECT_EQ(watch.watch, "a=b.txt");
    EXPECT_EQ(parse({"--version", "--bogus"}).action, CommandLine::Action::Version);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
}

TEST(CommandLineParse, EveryMistakeIsRefusedWithTheOptionNamed)
{
    const struct {
        std::vector<const char*> words;
        const char* named;
    } wrong[] = {
        {{"--bogus"}, "--bogus"},
        {{"extra"}, "extra"},
        {{"--record"}, "--record"},
        {{"--watch="}, "--watch"},
        {{"--trace", "a", "--trace", "b"}, "twice"},
        {{"--record", "a", "--watch", "b"}, "together"},
    };
    for (const auto& w : wrong) {
        CommandLine line = parse(w.words);
        EXPECT_EQ(line.action, CommandLine::Action::Refuse) << w.named;
        EXPECT_NE(line.problem.find(w.named), std::string::npos) << line.problem;
    }
}
