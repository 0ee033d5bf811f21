// Drawing for real on SDL's offscreen driver and software renderer: colour
// keys, source rectangles, the transform, texts and the map window, checked
// by the pixels of the back buffer.
#include "app/frame_driver.h"
#include "game/frame_time.h"
#include "game/world.h"
#include "support/test_hooks.h"
#include "platform/video.h"
#include "platform/window.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

constexpr uint32_t kBackground = 0xFF204060;

struct DrawingTest : testing::Test {
    std::string dir = makeGameDir();
    ScopedCwd cwd{dir};
    ScopedPlatform platform{true};
    void SetUp() override { ASSERT_TRUE(startGameForTest()); }
    void TearDown() override { stopGameForTest(); }
    ~DrawingTest() override { removeTree(dir); }

    std::vector<uint32_t> pixels;

    void beginFrame()
    {
        videoClear(kBackground);
        ASSERT_TRUE(beginSpriteBatch());
    }
    void readBack()
    {
        endSpriteBatch();
        ASSERT_TRUE(videoReadBackBuffer(pixels));
    }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * 1024 + x] | 0xFF000000u; }

    // The box around every pixel that differs from the background.
    PixelRect drawnBox() const
    {
        PixelRect box{1024, 768, -1, -1};
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x)
                if (at(x, y) != kBackground) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }

    // A file of its own for each: a texture is made from its file when first drawn.
    int bitmaps = 0;
    PlatformTexture* bmpTexture(int width, int height, const std::vector<uint32_t>& argb, uint32_t key)
    {
        std::string path = dir + "/test" + std::to_string(++bitmaps) + ".bmp";
        writeBmp(path, width, height, argb);
        return loadTexture(path.c_str(), key);
    }
};

// Close enough for a texel drawn through linear filtering.
bool near(uint32_t a, uint32_t b, int tolerance = 6)
{
    for (int shift : {0, 8, 16}) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance)
            return false;
    }
    return true;
}

} // namespace

TEST_F(DrawingTest, ColourKeysMakeExactlyTheKeyColourTransparent)
{
    // Three 10-texel bands. White-keyed: white vanishes, black and
    // almost-white stay. Black-keyed: black vanishes, almost-black stays.
    auto bands = [](uint32_t a, uint32_t b, uint32_t c) {
        std::vector<uint32_t> texels(30 * 10);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 30; ++x)
                texels[y * 30 + x] = x < 10 ? a : x < 20 ? b : c;
        return texels;
    };
    PlatformTexture* white = bmpTexture(30, 10, bands(0xFFFFFFFF, 0xFF000000, 0xFFFEFEFE), 0xFFFFFFFF);
    PlatformTexture* black = bmpTexture(30, 10, bands(0xFF000000, 0xFFFFFFFF, 0xFF010101), 0xFF000000);
    ASSERT_TRUE(white && black);
    beginFrame();
    drawSprite(white, 100, 100, 30, 10, 0, 1, 0.0f, 1.0f);
    drawSprite(black, 100, 200, 30, 10, 0, 1, 0.0f, 1.0f);
    readBack();
    EXPECT_EQ(at(105, 105), kBackground);
    EXPECT_EQ(at(115, 105), 0xFF000000u);
    EXPECT_EQ(at(125, 105), 0xFFFEFEFEu);
    EXPECT_EQ(at(105, 205), kBackground);
    EXPECT_EQ(at(115, 205), 0xFFFFFFFFu);
    EXPECT_EQ(at(125, 205), 0xFF010101u);
    videoReleaseTexture(white);
    videoReleaseTexture(black);

    // The game's own sheets: an empty bullet cell is white and keyed out; the
    // ship's empty corner is black and keyed out.
    beginFrame();
    drawSprite(bulletsTexture, 0, 0, 32, 32, 0, 8, 0.0f, 1.0f);
    drawSprite(spaceshipTexture, 300, 0, 127, 152, 7, 5, 0.0f, 1.0f);
    readBack();
    EXPECT_EQ(at(16, 16), kBackground);
    EXPECT_EQ(at(300, 0), kBackground);
}

TEST_F(DrawingTest, FrameSevenOfFivePerRowTakesItsOwnCell)
{
    std::vector<uint32_t> sheet(320 * 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 320; ++x)
            sheet[y * 320 + x] = 0xFF000000u | static_cast<uint32_t>((x / 64 + 5 * (y / 64)) * 20 + 10) << 16;
    PlatformTexture* texture = bmpTexture(320, 128, sheet, 0xFF00FF00);
    ASSERT_TRUE(texture);
    beginFrame();
    drawSprite(texture, 100, 100, 64, 64, 7, 5, 0.0f, 1.0f);
    readBack();
    EXPECT_EQ(at(132, 132), 0xFF000000u | (7 * 20 + 10) << 16);
    EXPECT_EQ(drawnBox().left, 100);
    EXPECT_EQ(drawnBox().top, 100);
    EXPECT_EQ(drawnBox().right, 164);
    EXPECT_EQ(drawnBox().bottom, 164);
    videoReleaseTexture(texture);
}

TEST_F(DrawingTest, ScaleIsAboutTheTopLeftCornerAndRotationAboutTheCentre)
{
    std::vector<uint32_t> square(120 * 120, 0xFFC08040);
    PlatformTexture* banner = bmpTexture(120, 120, square, 0xFF000000);
    beginFrame();
    drawSprite(banner, 452, 324, 120, 120, 0, 1, 0.0f, 0.7f);
    readBack();
    PixelRect box = drawnBox();
    EXPECT_EQ(box.left, 452);
    EXPECT_EQ(box.top, 324);
    EXPECT_EQ(box.right, 536);
    EXPECT_EQ(box.bottom, 408);
    videoReleaseTexture(banner);

    // Left half red, right half blue; a quarter turn clockwise puts red on top.
    std::vector<uint32_t> halves(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            halves[y * 64 + x] = x < 32 ? 0xFFFF0000 : 0xFF0000FF;
    PlatformTexture* turned = bmpTexture(64, 64, halves, 0xFF000000);
    beginFrame();
    drawSprite(turned, 100, 100, 64, 64, 0, 1, static_cast<float>(std::numbers::pi / 2), 1.0f);
    readBack();
    box = drawnBox();
    EXPECT_GE(box.left, 100);
    EXPECT_GE(box.top, 100);
    EXPECT_LE(box.right, 164);
    EXPECT_LE(box.bottom, 164);
    EXPECT_TRUE(near(at(132, 110), 0xFFFF0000)) << std::hex << at(132, 110);
    EXPECT_TRUE(near(at(132, 154), 0xFF0000FF)) << std::hex << at(132, 154);

    // A quarter turn back, scaled as the boss's shots are: the 76.8-pixel
    // square stays where it was, blue now on top. Drawn twice, the second
    // time from the turned copy kept from the first.
    for (int time = 0; time < 2; ++time) {
        beginFrame();
        drawSprite(turned, 300, 200, 64, 64, 0, 1, static_cast<float>(-std::numbers::pi / 2), 1.2f);
        readBack();
        box = drawnBox();
        EXPECT_NEAR(box.left, 300, 1);
        EXPECT_NEAR(box.top, 200, 1);
        EXPECT_NEAR(box.right, 377, 1);
        EXPECT_NEAR(box.bottom, 277, 1);
        EXPECT_TRUE(near(at(338, 210), 0xFF0000FF)) << std::hex << at(338, 210);
        EXPECT_TRUE(near(at(338, 266), 0xFFFF0000)) << std::hex << at(338, 266);
    }
    videoReleaseTexture(turned);
}

TEST_F(DrawingTest, DirectDrawsAfterSpritesAndTextsLandInScreenCoordinates)
{
    beginFrame();
    drawSprite(spaceshipTexture, 200, 200, 127, 152, 7, 5, 1.0f, 0.5f);
    drawText(fontArial26, 10, 10, kTextColour, "x 5");
    drawSpriteDirect(ammoguiTexture, 32, 32, 0, 736);
    readBack();
    // Nothing of the icon lands outside its 32 x 32 square at (0, 736).
    bool inside = false;
    for (int y = 700; y < 768; ++y)
        for (int x = 0; x < 60; ++x)
            if (at(x, y) != kBackground) {
                EXPECT_TRUE(x < 32 && y >= 736) << x << "," << y;
                inside = true;
            }
    EXPECT_TRUE(inside);
}

TEST_F(DrawingTest, TextWithALineBreakTakesTwoLines)
{
    ASSERT_NE(fontArial26, nullptr);
    beginFrame();
    drawText(fontArial26, 100, 100, kTextColour, "Score: 10");
    readBack();
    PixelRect one = drawnBox();
    beginFrame();
    drawText(fontArial26, 100, 100, kTextColour, "Score: 10\nLevel: 1");
    readBack();
    PixelRect two = drawnBox();
    EXPECT_GE(one.top, 100);
    EXPECT_GE(one.left, 100);
    EXPECT_LT(one.bottom, 100 + 30);
    EXPECT_GE(two.bottom - two.top, (one.bottom - one.top) + 20);
    EXPECT_GT(two.bottom, 100 + 40);
    EXPECT_NEAR(two.left, one.left, 3);
}

TEST_F(DrawingTest, MapBackgroundShowsTheBufferFromTheScrollRemainder)
{
    // Texel (x, y) of the source is coloured by its own position.
    const int w = kMapBufferWidth, h = kMapBufferHeight;
    std::vector<uint32_t> pattern(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pattern[static_cast<size_t>(y) * w + x] =
                0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x >> 8) << 4 | (y >> 8));
    std::string path = dir + "/pattern.bmp";
    writeBmp(path, w, h, pattern);
    PlatformSurface* source = loadSurface(path.c_str());
    ASSERT_TRUE(source);
    ASSERT_TRUE(videoCopySurface(source, {0, 0, w, h}, mapBuffer, {0, 0, w, h}));
    struct Case { int mapX, mapY, h, v; };
    for (Case c : {Case{0, 0, 0, 0}, Case{130, 70, 2, 6}, Case{0, 5311, 0, 63}}) {
        mapX = c.mapX;
        mapY = c.mapY;
        videoClear(kBackground);
        drawMapBackground(mapX, mapY);
        ASSERT_TRUE(videoReadBackBuffer(pixels));
        for (auto [x, y] : {std::pair{0, 0}, std::pair{1023, 767}, std::pair{500, 300}})
            EXPECT_EQ(at(x, y), pattern[static_cast<size_t>(y + c.v) * w + x + c.h]) << c.mapX << "," << c.mapY;
    }
    mapX = 0;
    mapY = 3072;
    videoReleaseSurface(source);
}

TEST_F(DrawingTest, CopiesFromOutsideTheSourceFailAndLeaveTheTarget)
{
    EXPECT_FALSE(videoCopySurface(spacemapSurface, {0, 832, 64, 896}, mapBuffer, {0, 0, 64, 64}));
    EXPECT_TRUE(videoCopySurface(spacemapSurface, {64, 0, 128, 64}, mapBuffer, {0, 0, 64, 64}));
}

TEST_F(DrawingTest, ScreenshotWritesTheWindowAsABitmap)
{
    beginFrame();
    drawSprite(spaceshipTexture, 449, 576, 127, 152, 7, 5, 0.0f, 1.0f);
    endSpriteBatch();
    videoPresent();
    ASSERT_TRUE(takeScreenshot());
    std::string shot = readFile("screen000.bmp");
    ASSERT_GT(shot.size(), 54u);
    EXPECT_EQ(shot.substr(0, 2), "BM");
    auto read32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(shot[at])) | static_cast<uint8_t>(shot[at + 1]) << 8
               | static_cast<uint8_t>(shot[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(shot[at + 3])) << 24;
    };
    EXPECT_EQ(read32(18), 1024u);
    EXPECT_EQ(read32(22), 768u);
}

TEST_F(DrawingTest, AResizedWindowGetsTheViewLetterboxedAndDirectDrawingBackWhenItFitsAgain)
{
    // The window has no alpha of its own; a texture keeps what blending left.
    auto sameColours = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if ((a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF))
                return false;
        return a.size() == b.size();
    };
    auto drawShip = [&] {
        beginFrame();
        drawSprite(spaceshipTexture, 449, 576, 127, 152, 7, 5, 0.0f, 1.0f);
        readBack();
    };
    drawShip();
    const std::vector<uint32_t> direct = pixels;
    EXPECT_TRUE(videoDrawsIntoWindow());
    EXPECT_EQ(at(5, 5), kBackground);   // the clear was done: only the ship covers anything

    windowResizeForTest(1280, 800);
    drawShip();
    EXPECT_FALSE(videoDrawsIntoWindow());
    EXPECT_TRUE(sameColours(pixels, direct));
    videoPresent();
    ASSERT_TRUE(takeScreenshot());
    std::string shot = readFile("screen000.bmp");
    ASSERT_GE(shot.size(), 54u + 1280 * 800 * 3);
    auto pixel = [&](int x, int y) {   // bottom-up rows of 3 bytes, blue first
        size_t offset = 54 + (static_cast<size_t>(799 - y) * 1280 + x) * 3;
        return static_cast<uint32_t>(static_cast<uint8_t>(shot[offset + 2]) << 16
                                     | static_cast<uint8_t>(shot[offset + 1]) << 8 | static_cast<uint8_t>(shot[offset]));
    };
    EXPECT_EQ(pixel(50, 400), 0u);                          // the bar left of the view
    EXPECT_EQ(pixel(640, 10), kBackground & 0xFFFFFF);      // inside the view

    windowResizeForTest(1024, 768);
    drawShip();
    EXPECT_TRUE(videoDrawsIntoWindow());
    EXPECT_TRUE(sameColours(pixels, direct));
}

TEST_F(DrawingTest, TextsTakeTheirColourAndANewNumberLeavesTheSameTextBeforeItUntouched)
{
    ASSERT_NE(fontArial48, nullptr);
    beginFrame();
    drawText(fontArial48, 100, 100, kHighlightColour, "Score: 10");
    readBack();
    const std::vector<uint32_t> ten = pixels;
    PixelRect box = drawnBox();
    int solid = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            uint32_t colour = at(x, y);
            // Yellow over the background only ever takes blue away.
            EXPECT_LE(colour & 0xFF, kBackground & 0xFF) << x << "," << y;
            EXPECT_GE((colour >> 16) & 0xFF, (kBackground >> 16) & 0xFF) << x << "," << y;
            solid += colour == 0xFFFFFF00;
        }
    EXPECT_GT(solid, 100);   // the strokes' insides are exactly the colour asked for

    beginFrame();
    drawText(fontArial48, 100, 100, kHighlightColour, "Score: 18");
    readBack();
    // "Score: 1" is where it was; only the last digit changed.
    int firstChange = 1024;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (at(x, y) != (ten[static_cast<size_t>(y) * 1024 + x] | 0xFF000000u))
                firstChange = std::min(firstChange, x);
    EXPECT_LT(firstChange, box.right);
    EXPECT_GT(firstChange, box.left + (box.right - box.left) * 3 / 4);
}

// A renderer that lost everything (SDL's device reset) takes its textures
// with it; the game's handles stay, and draw the same pixels once the device
// is reset: each picture is decoded again from its file.
TEST_F(DrawingTest, TexturesComeBackFromTheirFilesAfterTheWholeDeviceWasLost)
{
    std::vector<uint32_t> sheet(64 * 64, 0xFF3060C0u);
    sheet[0] = 0xFF00FF00u;   // the key: transparent
    PlatformTexture* texture = bmpTexture(64, 64, sheet, 0xFF00FF00u);
    ASSERT_TRUE(texture);
    const std::string file = dir + "/test" + std::to_string(bitmaps) + ".bmp";
    beginFrame();
    drawSprite(texture, 10, 10, 64, 64, 0, 1, 0.0f, 1.0f);
    readBack();
    ASSERT_EQ(at(40, 40), 0xFF3060C0u);
    ASSERT_EQ(at(10, 10), kBackground);

    videoNoteContentLost(true);
    EXPECT_EQ(videoTestCooperativeLevel(), CooperativeLevel::DeviceNotReset);
    ASSERT_TRUE(videoResetDevice(true));
    // The file is read again, so a different picture there now would show.
    std::remove(file.c_str());
    writeBmp(file, 64, 64, std::vector<uint32_t>(64 * 64, 0xFF3060C0u));
    beginFrame();
    drawSprite(texture, 10, 10, 64, 64, 0, 1, 0.0f, 1.0f);
    readBack();
    EXPECT_EQ(at(40, 40), 0xFF3060C0u);
    EXPECT_EQ(at(10, 10), 0xFF3060C0u) << "the texture was not made again from its file";
    videoReleaseTexture(texture);
}

TEST_F(DrawingTest, ATextureLoadedIsMadeRightAfterTheNextFrameIsShown)
{
    // Checked when loaded, made after the frame: its file may go after that.
    PlatformTexture* texture = bmpTexture(16, 16, std::vector<uint32_t>(16 * 16, 0xFF3060C0u), 0xFF00FF00u);
    ASSERT_TRUE(texture);
    beginFrame();
    readBack();
    videoPresent();
    std::remove((dir + "/test" + std::to_string(bitmaps) + ".bmp").c_str());
    beginFrame();
    drawSprite(texture, 10, 10, 16, 16, 0, 1, 0.0f, 1.0f);
    readBack();
    EXPECT_EQ(at(15, 15), 0xFF3060C0u);
    videoReleaseTexture(texture);

    // One released before it was ever made leaves nothing behind.
    videoReleaseTexture(bmpTexture(16, 16, std::vector<uint32_t>(16 * 16, 0xFF3060C0u), 0xFF00FF00u));
    videoPresent();
}
