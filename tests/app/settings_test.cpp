// The player's settings: the command line's options and the settings file's
// lines, every way to get them wrong, and the state file the game keeps.
#include "app/command_line.h"
#include "app/settings.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <regex>
#include <vector>

namespace {

CommandLine parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "kestrelon");
    return parseCommandLine(static_cast<int>(words.size()), words.data());
}

Settings fromFile(const char* text, std::vector<std::string>& problems)
{
    Settings settings;
    readSettingsText(text, settings, problems);
    return settings;
}

} // namespace

TEST(Settings, TheDefaultsAreTheGameAsItAlwaysPlayed)
{
    const Settings plain;
    EXPECT_EQ(musicGain(plain), 1.0f);
    EXPECT_EQ(effectsGain(plain), 1.0f);
    EXPECT_FALSE(plain.fullScreen.has_value());
    EXPECT_EQ(plain.maxFps, 0);
    EXPECT_FALSE(plain.vsync);
}

TEST(Settings, TheFileSetsEachSettingAndSaysWhichLinesAreWrong)
{
    std::vector<std::string> problems;
    const Settings read = fromFile("# my settings\n"
                                   "\n"
                                   "volume = 50\r\n"
                                   "  music-volume=50  \n"
                                   "effects-volume = loud\n"
                                   "mute = no\n"
                                   "screen-mode = fullscreen\n"
                                   "max-fps = 60\n"
                                   "vsync = on\n"
                                   "colour = blue\n"
                                   "just words\n"
                                   "max-fps = 100000\n",
                                   problems);
    EXPECT_EQ(read.volume, 50);
    EXPECT_EQ(read.musicVolume, 50);
    EXPECT_EQ(read.effectsVolume, 100);   // its line was wrong: the default stays
    EXPECT_FLOAT_EQ(musicGain(read), 0.25f);
    EXPECT_FLOAT_EQ(effectsGain(read), 0.5f);
    EXPECT_EQ(read.fullScreen, std::optional<bool>(true));
    EXPECT_EQ(read.maxFps, 60);           // the later wrong line left it as it was
    EXPECT_TRUE(read.vsync);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], "line 5: effects-volume takes a number from 0 to 100, not 'loud'");
    EXPECT_EQ(problems[1], "line 10: there is no setting 'colour'");
    EXPECT_EQ(problems[2], "line 11: not NAME = VALUE: 'just words'");
    EXPECT_EQ(problems[3].substr(0, 8), "line 12:");

    // A file of nonsense is named ten lines deep, the rest counted; a good
    // line after it all still counts.
    std::string nonsense;
    for (int line = 0; line < 1000; ++line)
        nonsense += "\x01\x02\n";
    problems.clear();
    EXPECT_EQ(fromFile((nonsense + "volume = 7\n").c_str(), problems).volume, 7);
    ASSERT_EQ(problems.size(), kProblemsNamed + 1);
    EXPECT_EQ(problems[9], "line 10: not NAME = VALUE: '?" "?'");
    EXPECT_EQ(problems[10], "and 990 more wrong lines");
}

// The example file shipped for players: as it comes it sets nothing; with
// every setting's # taken off, each line reads, giving the defaults.
TEST(Settings, TheShippedExampleReadsAndNamesEveryDefault)
{
    const std::string example = readFile(std::string(KESTRELON_SOURCE_DIR) + "/install/settings.conf");
    ASSERT_FALSE(example.empty());
    std::vector<std::string> problems;
    EXPECT_EQ(fromFile(example.c_str(), problems), Settings());
    EXPECT_TRUE(problems.empty());

    const std::string uncommented = std::regex_replace(example, std::regex("^#([a-z-]+ = )", std::regex::multiline), "$1");
    ASSERT_NE(uncommented, example);
    Settings windowed;
    windowed.fullScreen = false;
    EXPECT_EQ(fromFile(uncommented.c_str(), problems), windowed);
    EXPECT_TRUE(problems.empty()) << problems.front();
    // Every setting is there.
    for (const char* name : {"volume", "music-volume", "effects-volume", "mute", "screen-mode", "max-fps", "vsync"})
        EXPECT_NE(uncommented.find(std::string("\n") + name + " = "), std::string::npos) << name;
}

TEST(Settings, ValuesAreCheckedToTheirBounds)
{
    const struct {
        const char* name;
        const char* value;
        bool fits;
    } cases[] = {
        {"volume", "0", true},        {"volume", "100", true},      {"volume", "101", false},
        {"volume", "-1", false},      {"volume", " 5", false},      {"volume", "5x", false},
        {"volume", "", false},        {"volume", "99999999999", false},
        {"max-fps", "0", true},       {"max-fps", "1000", true},    {"max-fps", "1001", false},
        {"mute", "yes", true},        {"mute", "off", true},        {"mute", "maybe", false},
        {"screen-mode", "windowed", true}, {"screen-mode", "Fullscreen", false},
    };
    for (const auto& c : cases) {
        Settings settings;
        std::string problem;
        EXPECT_EQ(applySetting(c.name, c.value, settings, problem), c.fits) << c.name << " = " << c.value;
        EXPECT_EQ(problem.empty(), c.fits) << problem;
        if (!c.fits) {
            EXPECT_EQ(settings, Settings()) << "a wrong value changed " << c.name;
        }
    }
}

TEST(Settings, MuteSilencesEverythingWhateverTheVolumes)
{
    Settings settings;
    settings.mute = true;
    settings.volume = 80;
    EXPECT_EQ(musicGain(settings), 0.0f);
    EXPECT_EQ(effectsGain(settings), 0.0f);
}

TEST(Settings, TheCommandLineTakesEachSettingAndRefusesBadOnesNamingThem)
{
    const CommandLine line = parse({"--volume", "40", "--music-volume=25", "--mute", "--fullscreen", "--max-fps",
                                    "60", "--vsync", "--effects-volume", "0"});
    ASSERT_EQ(line.action, CommandLine::Action::Play) << line.problem;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"volume", "40"},         {"music-volume", "25"}, {"mute", "yes"},       {"screen-mode", "fullscreen"},
        {"max-fps", "60"},        {"vsync", "yes"},       {"effects-volume", "0"},
    };
    EXPECT_EQ(line.settings, expected);

    const struct {
        std::vector<const char*> words;
        const char* named;
    } wrong[] = {
        {{"--volume", "150"}, "--volume takes a number from 0 to 100, not '150'"},
        {{"--volume"}, "--volume"},
        {{"--max-fps=fast"}, "--max-fps"},
        {{"--mute=yes"}, "--mute"},
        {{"--fullscreen", "--windowed"}, "cannot go together"},
        {{"--volume", "5", "--volume", "6"}, "twice"},
    };
    for (const auto& w : wrong) {
        const CommandLine refused = parse(w.words);
        EXPECT_EQ(refused.action, CommandLine::Action::Refuse) << w.named;
        EXPECT_NE(refused.problem.find(w.named), std::string::npos) << refused.problem;
    }
}

TEST(Settings, TheStateFileHoldsTheModeAndNothingElse)
{
    std::string problem;
    EXPECT_EQ(readScreenModeState(screenModeStateText(true), problem), std::optional<bool>(true)) << problem;
    EXPECT_EQ(readScreenModeState(screenModeStateText(false), problem), std::optional<bool>(false)) << problem;
    for (const char* damaged : {"", "screen-mode = sideways\n", "volume = 5\nscreen-mode = windowed\n",
                                "\x01\x02garbage", "screen-mode = fullscreen\nscreen"}) {
        problem.clear();
        EXPECT_FALSE(readScreenModeState(damaged, problem).has_value()) << damaged;
        EXPECT_FALSE(problem.empty()) << damaged;
    }
}
