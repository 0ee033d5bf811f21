// The faces fontconfig matched are kept in the user's cache folder: written
// when asked, used while fontconfig's folders are unchanged, asked again
// when they changed or when the file kept is gone.
#include "platform/video.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct FontMatchesTest : testing::Test {
    std::string dir = makeGameDir();
    std::string kept = dir + "/cache/kestrelon/fonts";
    FontMatchesTest() { setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1); }
    ~FontMatchesTest() override
    {
        unsetenv("XDG_CACHE_HOME");
        removeTree(dir);
    }

    // The file kept after the game made its Arial.
    std::string afterMakingArial()
    {
        ScopedPlatform platform{true};
        PlatformFont* font = videoCreateFont("Arial", 26);
        EXPECT_NE(font, nullptr);
        videoReleaseFont(font);
        return readFile(kept);
    }
};

std::string fileOf(const std::string& text, const std::string& face)
{
    const size_t at = text.find("\n" + face + "\t");
    if (at == std::string::npos)
        return {};
    const size_t start = at + face.size() + 2;
    return text.substr(start, text.find('\n', start) - start);
}

} // namespace

TEST_F(FontMatchesTest, WrittenWhenAskedAndAskedAgainWhenStaleOrGone)
{
    const std::string first = afterMakingArial();
    ASSERT_EQ(first.rfind("stamp ", 0), 0u) << first;
    const std::string file = fileOf(first, "Arial");
    ASSERT_FALSE(file.empty()) << first;
    EXPECT_TRUE(std::filesystem::exists(file));
    const std::string stampLine = first.substr(0, first.find('\n') + 1);

    // Another stamp: fontconfig's folders changed since; what was kept is not used.
    writeFile(kept, "stamp 1\nArial\t" + dir + "/data/scores.txt\n");
    EXPECT_EQ(fileOf(afterMakingArial(), "Arial"), file);

    // The same stamp, but the file kept is gone: asked again.
    writeFile(kept, stampLine + "Arial\t" + dir + "/no-such-font.ttf\n");
    EXPECT_EQ(fileOf(afterMakingArial(), "Arial"), file);

    // The same stamp and a file that is there but is no font: it is tried,
    // then fontconfig is asked again and its answer kept.
    writeFile(kept, stampLine + "Arial\t" + dir + "/data/spacemap.bmp\n");
    EXPECT_EQ(fileOf(afterMakingArial(), "Arial"), file);
}
