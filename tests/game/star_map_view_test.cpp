// The star map as drawn: tiles from the atlas through the tile table into the
// map buffer, then the view's window of it, checked pixel by pixel with an
// atlas whose every texel tells which cell and which spot of it it is.
#include "game/star_map.h"
#include "game/world.h"
#include "platform/video.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

// Red: the cell's column and the eighth of its width; green: the cell's row
// and the eighth of its height. Blue keeps every texel clear of the black key.
uint32_t atlasTexel(int cellColumn, int cellRow, int innerX, int innerY)
{
    return 0xFF000080u | static_cast<uint32_t>(cellColumn * 16 + innerX / 8) << 16 |
           static_cast<uint32_t>(cellRow * 16 + innerY / 8) << 8;
}

std::vector<uint32_t> makeAtlas()
{
    std::vector<uint32_t> argb(1024 * 832);
    for (int y = 0; y < 832; ++y)
        for (int x = 0; x < 1024; ++x)
            argb[static_cast<size_t>(y) * 1024 + x] = atlasTexel(x / 64, y / 64, x % 64, y % 64);
    return argb;
}

// What the view must show at (x, y) with the map scrolled to scrollY: map
// row r, column c holds tile (r mod 12) * 16 + c + 1, read from atlas cell
// (t mod 16, t div 16).
uint32_t expectedView(int x, int y, int scrollY)
{
    const int mapPixelY = scrollY + y;
    const int row = mapPixelY / 64;
    const int column = x / 64;
    const int tile = (row % 12) * 16 + column + 1;
    return atlasTexel(tile % 16, tile / 16, x % 64, mapPixelY % 64);
}

struct StarMapViewTest : testing::Test {
    std::string dir = makeGameDir();
    ScopedCwd cwd{dir};
    ScopedPlatform platform{true};
    void SetUp() override
    {
        writeBmp(dir + "/data/spacemap.bmp", 1024, 832, makeAtlas());
        ASSERT_TRUE(startGameForTest());
        mapX = 0;
    }
    void TearDown() override
    {
        stopGameForTest();
        mapY = 3072;
        mapYExact = 3072.0f;
    }
    ~StarMapViewTest() override { removeTree(dir); }

    // Draws the map as a frame does and names the first few wrong pixels.
    std::string viewErrors(int scrollY)
    {
        mapY = scrollY;
        videoClear(0xFF000000);
        videoBeginScene();
        drawStarMap();
        drawMapBackground(mapX, mapY);
        std::vector<uint32_t> pixels;
        if (!videoReadBackBuffer(pixels))
            return "no back buffer";
        std::ostringstream errors;
        int wrong = 0;
        for (int y = 0; y < 768; y += 3)
            for (int x = 0; x < 1024; x += 5) {
                uint32_t got = pixels[static_cast<size_t>(y) * 1024 + x] | 0xFF000000u;
                uint32_t want = expectedView(x, y, scrollY);
                if (got != want && ++wrong <= 3)
                    errors << std::hex << "(" << std::dec << x << "," << y << ") " << std::hex << got << " not "
                           << want << "; ";
            }
        if (wrong)
            errors << std::dec << wrong << " wrong";
        videoEndScene();
        return errors.str();
    }
};

} // namespace

TEST_F(StarMapViewTest, ViewShowsTheTilesOfTheTableAroundTheScrollPosition)
{
    // At the top the first tile is value 1 (cell column 1), then 2.
    EXPECT_EQ(viewErrors(0), "");
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(videoReadBackBuffer(pixels));
    EXPECT_EQ(pixels[0] | 0xFF000000u, atlasTexel(1, 0, 0, 0));
    EXPECT_EQ(pixels[64] | 0xFF000000u, atlasTexel(2, 0, 0, 0));
    // Value 16 closes the first row from the second atlas row's cell 0.
    EXPECT_EQ(pixels[15 * 64] | 0xFF000000u, atlasTexel(0, 1, 0, 0));

    // Within a tile row, between rows, past a block of 12, and at the bottom
    // end, where the last rows of the table are read.
    for (int scrollY : {70, 100, 63, 64, 700, 767, 768, 3072, 3109, 5311})
        EXPECT_EQ(viewErrors(scrollY), "") << "mapY " << scrollY;
    // Back to a position seen before, after others.
    EXPECT_EQ(viewErrors(70), "");
}

TEST_F(StarMapViewTest, MapIsComposedAgainAfterTheScreenModeSwitchMakesANewBuffer)
{
    EXPECT_EQ(viewErrors(70), "");
    switchScreenMode();
    EXPECT_EQ(viewErrors(70), "") << "after the first switch";
    switchScreenMode();
    EXPECT_EQ(viewErrors(75), "") << "after the second switch";
}
