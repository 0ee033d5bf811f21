// What the fonts keep in the user's cache folder. The faces fontconfig
// matched: written when asked, used while fontconfig's folders are
// unchanged, asked again when they changed or when the file kept is gone.
// The atlases: a start that reads them draws every character exactly as one
// that rasterised them, and one that is damaged or stale is made again.
#include "platform/video.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

struct FontCacheTest : testing::Test {
    std::string dir = makeGameDir();
    std::string kept = dir + "/cache/kestrelon/fonts";
    FontCacheTest() { setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1); }
    ~FontCacheTest() override
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

    // Every character of the game's three fonts, drawn by a whole start of
    // the game, as the back buffer holds them.
    std::vector<uint32_t> everyCharacterDrawn()
    {
        ScopedCwd cwd{dir};
        ScopedPlatform platform{true};
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(startGameForTest());
        videoClear(0xFF204060);
        EXPECT_TRUE(beginSpriteBatch());
        std::string characters;
        for (char c = ' '; c < 127; ++c)
            characters += c;
        int y = 10;
        for (PlatformFont* font : {fontArial26, fontArial48, fontCourier22})
            for (size_t at = 0; at < characters.size(); at += 24, y += 52)
                drawText(font, 10, y, 0xFFFFFF00, characters.substr(at, 24));
        endSpriteBatch();
        EXPECT_TRUE(videoReadBackBuffer(pixels));
        stopGameForTest();
        return pixels;
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

TEST_F(FontCacheTest, MatchesAreWrittenWhenAskedAndAskedAgainWhenStaleOrGone)
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

TEST_F(FontCacheTest, AKeptAtlasDrawsWhatRasterisingDrewAndABadOneIsMadeAgain)
{
    const std::vector<uint32_t> rasterised = everyCharacterDrawn();
    ASSERT_FALSE(rasterised.empty());
    const std::string atlas = dir + "/cache/kestrelon/glyphs-Arial-48";
    const std::string keptBytes = readFile(atlas);
    ASSERT_EQ(keptBytes.rfind("kestrelon glyphs 2\n", 0), 0u);
    for (const char* other : {"glyphs-Arial-26", "glyphs-Courier-New-22"})
        EXPECT_TRUE(std::filesystem::exists(dir + "/cache/kestrelon/" + other)) << other;

    // Read back, not made again: the file is left as it was.
    std::filesystem::last_write_time(atlas, std::filesystem::file_time_type{});
    EXPECT_EQ(everyCharacterDrawn(), rasterised);
    EXPECT_EQ(std::filesystem::last_write_time(atlas), std::filesystem::file_time_type{});

    const size_t afterKey = keptBytes.find('\n', keptBytes.find('\n') + 1) + 1;
    std::string cellOutside = keptBytes;
    cellOutside[afterKey + 12 + 24 * 'W' + 1] = '\x7f';   // W's cell starts far right of the atlas
    std::string otherKey = keptBytes;   // made for another height
    otherKey.replace(otherKey.find(" height "), 8, " height 1");
    std::string otherLibrary = keptBytes;   // by an SDL_ttf of another size
    const size_t size = otherLibrary.find(' ', otherLibrary.find("libSDL2_ttf")) + 1;
    otherLibrary[size] = otherLibrary[size] == '9' ? '8' : '9';
    for (const std::string& damaged : {keptBytes.substr(0, keptBytes.size() / 2), keptBytes + "x", cellOutside, otherKey,
                                       otherLibrary, std::string("kestrelon glyphs 3") + keptBytes.substr(18)}) {
        writeFile(atlas, damaged);
        EXPECT_EQ(everyCharacterDrawn(), rasterised);
        EXPECT_EQ(readFile(atlas), keptBytes);
    }
}

TEST_F(FontCacheTest, AStartThatFindsEveryFontKeptLoadsNeitherSdlTtfNorFontconfig)
{
    writeFile(dir + "/empty.script", "");
    const std::string run = "XDG_CACHE_HOME=" + dir + "/cache " + binaryPath("kestrelon-replay") + " --dir " + dir
                            + " --script " + dir + "/empty.script --trace /dev/null --render --frames 2";
    const ProcessResult first = runCommand("LD_DEBUG=files " + run);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    EXPECT_NE(first.output.find("libSDL2_ttf"), std::string::npos);
    const ProcessResult second = runCommand("LD_DEBUG=files " + run);
    ASSERT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(second.output.find("libSDL2_ttf"), std::string::npos);
    EXPECT_EQ(second.output.find("libfontconfig"), std::string::npos);
}
