// Where the settings and state files live and how they are read and written:
// the system's per-user folders (the XDG variables, else under HOME), a state
// file written whole or not at all, and a settings file read only when it
// is a plain file of sensible size.
#include "platform/files.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// The environment variables a test changes, put back as they were.
struct SavedVariable {
    std::string name;
    bool had;
    std::string value;
    explicit SavedVariable(const char* variable) : name(variable), had(std::getenv(variable) != nullptr)
    {
        if (had)
            value = std::getenv(variable);
    }
    ~SavedVariable() { had ? setenv(name.c_str(), value.c_str(), 1) : unsetenv(name.c_str()); }
};

struct SettingsFilesTest : testing::Test {
    SavedVariable config{"XDG_CONFIG_HOME"}, state{"XDG_STATE_HOME"}, home{"HOME"};
    std::string dir = makeGameDir();
    ~SettingsFilesTest() override { removeTree(dir); }
};

} // namespace

TEST_F(SettingsFilesTest, TheFilesAreInTheXdgFoldersElseUnderHome)
{
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
    EXPECT_EQ(settingsFilePath(), dir + "/config/kestrelon/settings.conf");
    EXPECT_EQ(stateFilePath(), dir + "/state/kestrelon/state");

    // Unset, or not an absolute path (which the XDG rules say to ignore).
    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_STATE_HOME", "relative/state", 1);
    setenv("HOME", dir.c_str(), 1);
    EXPECT_EQ(settingsFilePath(), dir + "/.config/kestrelon/settings.conf");
    EXPECT_EQ(stateFilePath(), dir + "/.local/state/kestrelon/state");
}

TEST_F(SettingsFilesTest, TheStateFileIsWrittenWholeInAFolderMadeForIt)
{
    setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
    std::string error;
    ASSERT_TRUE(writeStateFile("screen-mode = fullscreen\n", error)) << error;
    EXPECT_EQ(readFile(dir + "/state/kestrelon/state"), "screen-mode = fullscreen\n");
    ASSERT_TRUE(writeStateFile("screen-mode = windowed\n", error)) << error;
    EXPECT_EQ(readFile(dir + "/state/kestrelon/state"), "screen-mode = windowed\n");
    // Nothing left beside it from the writing.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir + "/state/kestrelon"))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);

    // Where the folder cannot be made, a failure with the reason.
    writeFile(dir + "/blocked", "a file where the folder would go");
    setenv("XDG_STATE_HOME", (dir + "/blocked").c_str(), 1);
    EXPECT_FALSE(writeStateFile("screen-mode = windowed\n", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(SettingsFilesTest, ASettingsFileIsReadOnlyWhenItIsAPlainFileOfSensibleSize)
{
    std::string text, error;
    bool missing = false;
    EXPECT_FALSE(readTextFile(dir + "/none.conf", text, missing, error));
    EXPECT_TRUE(missing);

    writeFile(dir + "/settings.conf", "volume = 40\n");
    ASSERT_TRUE(readTextFile(dir + "/settings.conf", text, missing, error)) << error;
    EXPECT_EQ(text, "volume = 40\n");

    // A folder, and a file far longer than any settings file: refused, not
    // taken for missing (the player is told).
    fs::create_directory(dir + "/folder.conf");
    EXPECT_FALSE(readTextFile(dir + "/folder.conf", text, missing, error));
    EXPECT_FALSE(missing);
    writeFile(dir + "/huge.conf", std::string(kMaxTextFileBytes + 1, '#'));
    error.clear();
    EXPECT_FALSE(readTextFile(dir + "/huge.conf", text, missing, error));
    EXPECT_FALSE(missing);
    EXPECT_NE(error.find("longer than 64 KiB"), std::string::npos) << error;
    EXPECT_TRUE(text.empty());
    writeFile(dir + "/just-fits.conf", std::string(kMaxTextFileBytes, '#'));
    EXPECT_TRUE(readTextFile(dir + "/just-fits.conf", text, missing, error)) << error;
}
