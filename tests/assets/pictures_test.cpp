// The pictures, read back through the game's own loader.
#include "support.h"

#include "art.h"
#include "canvas.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace assettest;

namespace {

struct PictureFile {
    const char* name;
    int width, height;
    uint32_t key;
};

const PictureFile kPictures[] = {
    {"spaceship.png", 635, 304, kBlack}, {"bullets.png", 256, 256, kWhite},  {"asteroid.tga", 480, 480, kBlack},
    {"bosstest.png", 219, 144, kBlack},  {"gamelogo.bmp", 900, 300, kBlack}, {"gameover.bmp", 336, 95, kBlack},
    {"skill1.bmp", 64, 64, kWhite},      {"skill2.bmp", 64, 64, kWhite},      {"1up.bmp", 120, 120, kBlack},
    {"levelup.bmp", 120, 120, kBlack},   {"bosshealth.bmp", 32, 32, kBlack},  {"ammogui.bmp", 32, 32, kBlack},
    {"ammogui2.bmp", 32, 32, kBlack},    {"spacemap.bmp", 1024, 832, kBlack},
};

double luminance(uint32_t argb)
{
    return 0.2126 * ((argb >> 16) & 255) + 0.7152 * ((argb >> 8) & 255) + 0.0722 * (argb & 255);
}

// True when no texel on the rectangle's outer ring is drawn.
bool borderEmpty(const KeyedImage& image, int x, int y, int w, int h)
{
    for (int i = 0; i < w; ++i)
        if (alphaOf(image.at(x + i, y)) || alphaOf(image.at(x + i, y + h - 1)))
            return false;
    for (int j = 0; j < h; ++j)
        if (alphaOf(image.at(x, y + j)) || alphaOf(image.at(x + w - 1, y + j)))
            return false;
    return true;
}

// Alpha-and-brightness weighted centre of a cell.
void brightCentre(const KeyedImage& image, int x, int y, int size, double& cx, double& cy)
{
    double sum = 0, sx = 0, sy = 0;
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const uint32_t t = image.at(x + i, y + j);
            const double w = alphaOf(t) / 255.0 * luminance(t);
            sum += w;
            sx += w * i;
            sy += w * j;
        }
    cx = sum > 0 ? sx / sum : size / 2.0;
    cy = sum > 0 ? sy / sum : size / 2.0;
}

// Mean absolute channel difference between two equal squares.
double meanAbsDifference(const KeyedImage& one, int ax, int ay, const KeyedImage& two, int bx, int by, int size)
{
    double sum = 0;
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const uint32_t a = one.at(ax + i, ay + j), b = two.at(bx + i, by + j);
            for (int s = 0; s < 32; s += 8)
                sum += std::abs(static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255));
        }
    return sum / (size * size * 4.0);
}

double meanAbsDifference(const KeyedImage& image, int ax, int ay, int bx, int by, int size)
{
    return meanAbsDifference(image, ax, ay, image, bx, by, size);
}

} // namespace

TEST(Pictures, EveryPictureLoadsAtItsSizeWithItsEmptyTexelsInTheKeyColour)
{
    TempDir dir;
    std::vector<std::string> names;
    for (const auto& p : kPictures)
        names.push_back(p.name);
    generateInto(dir.path(), names);
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.name);
        const KeyedImage image = load(dir.file(p.name), p.key);
        ASSERT_EQ(image.width, p.width);
        ASSERT_EQ(image.height, p.height);
        ASSERT_EQ(image.argb.size(), static_cast<size_t>(p.width) * p.height);
        if (std::string(p.name) == "bosshealth.bmp" || std::string(p.name) == "spacemap.bmp")
            continue;
        // The top-left corner is empty in every sprite: keyed away in game...
        EXPECT_EQ(image.at(0, 0), 0u);
        // ...because the file holds exactly the opaque key colour there (not
        // just zero alpha), so any loader that keys by colour agrees.
        const KeyedImage unkeyed = load(dir.file(p.name), 0x12345678u);
        EXPECT_EQ(unkeyed.at(0, 0), p.key);
    }
}

TEST(Pictures, ShipFramesAreDrawnInsideTheirCells)
{
    TempDir dir;
    generateInto(dir.path(), {"spaceship.png"});
    const KeyedImage ship = load(dir.file("spaceship.png"), kBlack);
    ASSERT_EQ(ship.width, 635);
    for (int frame = 0; frame < 10; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const int x = (frame % 5) * 127, y = (frame / 5) * 152;
        EXPECT_GT(drawnTexels(ship, x, y, 127, 152), 127 * 152 / 6);
        // Nothing reaches the cell edge, so no frame shows a sliver of its neighbour.
        EXPECT_TRUE(borderEmpty(ship, x, y, 127, 152));
    }
    // The menu's engine cycle (5..9) animates: neighbouring frames differ.
    for (int frame = 5; frame < 10; ++frame) {
        const int next = frame == 9 ? 5 : frame + 1;
        EXPECT_GT(meanAbsDifference(ship, (frame % 5) * 127, 152, (next % 5) * 127, 152, 127), 0.05)
            << "frames " << frame << " and " << next;
    }
}

TEST(Pictures, OnlyTheTwoShotCellsAreDrawnAndTheyPointTheRightWay)
{
    TempDir dir;
    generateInto(dir.path(), {"bullets.png"});
    const KeyedImage shots = load(dir.file("bullets.png"), kWhite);
    for (int cell = 0; cell < 64; ++cell) {
        const int x = (cell % 8) * 32, y = (cell / 8) * 32;
        const int drawn = drawnTexels(shots, x, y, 32, 32);
        if (cell == 55 || cell == 48) {
            EXPECT_GT(drawn, 60) << "cell " << cell;
            EXPECT_TRUE(borderEmpty(shots, x, y, 32, 32)) << "cell " << cell;
        } else {
            EXPECT_EQ(drawn, 0) << "cell " << cell;
        }
    }
    double cx = 0, cy = 0;
    // The player's bolt: its bright head is in the upper half (it flies up).
    brightCentre(shots, 7 * 32, 6 * 32, 32, cx, cy);
    EXPECT_LT(cy, 15.0);
    EXPECT_NEAR(cx, 15.5, 1.5);
    // The boss's shot is turned by -90 degrees (anticlockwise on screen): a
    // head on the left of the cell ends up at the bottom, pointing down.
    brightCentre(shots, 0, 6 * 32, 32, cx, cy);
    EXPECT_LT(cx, 13.0);
    EXPECT_NEAR(cy, 15.5, 1.5);
}

TEST(Pictures, AsteroidMakesOneSmoothTurnLitFromOneSide)
{
    TempDir dir;
    generateInto(dir.path(), {"asteroid.tga"});
    const KeyedImage rock = load(dir.file("asteroid.tga"), kBlack);
    ASSERT_EQ(rock.width, 480);
    auto origin = [](int f, int& x, int& y) {
        x = (f % 8) * 60;
        y = (f / 8) * 60;
    };
    double stepSum = 0, lit = 0, shaded = 0;
    for (int f = 0; f < 64; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f));
        int x, y;
        origin(f, x, y);
        const int drawn = drawnTexels(rock, x, y, 60, 60);
        EXPECT_GT(drawn, 3600 / 4);
        EXPECT_LT(drawn, 3600 * 9 / 10);
        EXPECT_TRUE(borderEmpty(rock, x, y, 60, 60));
        int nx, ny;
        origin((f + 1) % 64, nx, ny);
        const double step = meanAbsDifference(rock, x, y, nx, ny, 60);
        EXPECT_GT(step, 0.2) << "the rock does not turn";
        stepSum += step;
        for (int j = 0; j < 60; ++j)
            for (int i = 0; i < 60; ++i)
                (i < 30 ? lit : shaded) += luminance(rock.at(x + i, y + j)) * alphaOf(rock.at(x + i, y + j)) / 255.0;
    }
    // Small steps compared with a quarter turn: smooth, and the last frame
    // leads back into the first like any other step.
    const double meanStep = stepSum / 64;
    int ax, ay, bx, by;
    origin(0, ax, ay);
    origin(16, bx, by);
    EXPECT_LT(meanStep * 2, meanAbsDifference(rock, ax, ay, bx, by, 60));
    origin(63, bx, by);
    EXPECT_LT(meanAbsDifference(rock, bx, by, ax, ay, 60), meanStep * 1.5);
    EXPECT_GT(lit, shaded * 1.5) << "the light should come from one side (the left)";
}

TEST(Pictures, BmpFilesAreBottomUp24BitWithoutKeyColouredFringes)
{
    TempDir dir;
    std::vector<std::string> bmps;
    for (const auto& p : kPictures)
        if (std::string(p.name).ends_with(".bmp"))
            bmps.push_back(p.name);
    generateInto(dir.path(), bmps);
    for (const auto& p : kPictures) {
        const std::string name = p.name;
        if (!name.ends_with(".bmp"))
            continue;
        SCOPED_TRACE(name);
        const std::vector<uint8_t> b = readBytes(dir.file(name));
        ASSERT_GE(b.size(), 54u);
        auto u16 = [&b](size_t o) { return static_cast<uint32_t>(b[o] | (b[o + 1] << 8)); };
        auto u32 = [&b](size_t o) { return static_cast<uint32_t>(b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (b[o + 3] << 24)); };
        const uint32_t row = (p.width * 3 + 3) & ~3u;
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(u32(2), b.size());
        EXPECT_EQ(u32(10), 54u);
        EXPECT_EQ(u32(14), 40u);
        EXPECT_EQ(static_cast<int32_t>(u32(18)), p.width);
        EXPECT_EQ(static_cast<int32_t>(u32(22)), p.height);  // positive: bottom-up
        EXPECT_EQ(u16(26), 1u);
        EXPECT_EQ(u16(28), 24u);
        EXPECT_EQ(u32(30), 0u);  // BI_RGB
        EXPECT_EQ(b.size(), 54u + row * p.height);

        // Where a drawing meets the empty area of a white-keyed badge, the
        // edge is dark (an outline), never a light halo that shows in game.
        if (p.key == kWhite) {
            const KeyedImage image = load(dir.file(name), p.key);
            int light = 0, edges = 0;
            for (int y = 1; y + 1 < image.height; ++y)
                for (int x = 1; x + 1 < image.width; ++x) {
                    const uint32_t t = image.at(x, y);
                    if (!alphaOf(t))
                        continue;
                    const bool edge = !alphaOf(image.at(x - 1, y)) || !alphaOf(image.at(x + 1, y)) ||
                                      !alphaOf(image.at(x, y - 1)) || !alphaOf(image.at(x, y + 1));
                    if (edge) {
                        ++edges;
                        light += luminance(t) > 110;
                    }
                }
            EXPECT_GT(edges, 50);
            EXPECT_EQ(light, 0);
        }
    }
}

TEST(Pictures, InterfacePiecesStackAndDifferAsTheGameNeeds)
{
    TempDir dir;
    generateInto(dir.path(), {"bosshealth.bmp", "ammogui.bmp", "ammogui2.bmp", "skill1.bmp", "skill2.bmp"});
    // Health segments sit on top of each other: the top row must continue
    // the bottom row of the segment above, so the bar has no gaps or seams.
    const KeyedImage health = load(dir.file("bosshealth.bmp"), kBlack);
    for (int x = 0; x < 32; ++x) {
        EXPECT_NE(alphaOf(health.at(x, 0)), 0u) << x;
        EXPECT_EQ(health.at(x, 0), health.at(x, 31)) << x;
    }
    EXPECT_EQ(drawnTexels(health, 0, 0, 32, 32), 32 * 32);

    // Novice and Hero colourings are told apart.
    const KeyedImage novice = load(dir.file("ammogui.bmp"), kBlack), hero = load(dir.file("ammogui2.bmp"), kBlack);
    EXPECT_GT(drawnTexels(novice, 0, 0, 32, 32), 32 * 32 / 6);
    EXPECT_GT(drawnTexels(hero, 0, 0, 32, 32), 32 * 32 / 6);
    EXPECT_GT(meanAbsDifference(novice, 0, 0, hero, 0, 0, 32), 12.0);

    const KeyedImage s1 = load(dir.file("skill1.bmp"), kWhite), s2 = load(dir.file("skill2.bmp"), kWhite);
    EXPECT_GT(drawnTexels(s1, 0, 0, 64, 64), 64 * 64 / 3);
    EXPECT_GT(drawnTexels(s2, 0, 0, 64, 64), 64 * 64 / 3);
    int differing = 0;
    for (size_t i = 0; i < s1.argb.size(); ++i)
        differing += std::abs(luminance(s1.argb[i]) - luminance(s2.argb[i])) > 40 || (alphaOf(s1.argb[i]) != alphaOf(s2.argb[i]));
    EXPECT_GT(differing, 64 * 64 / 4);
}

TEST(Pictures, LargeSpritesCoverTheirFrames)
{
    TempDir dir;
    generateInto(dir.path(), {"bosstest.png", "gamelogo.bmp", "gameover.bmp", "1up.bmp", "levelup.bmp"});
    const struct { const char* name; double minimum; } sprites[] = {
        {"bosstest.png", 0.45}, {"gamelogo.bmp", 0.25}, {"gameover.bmp", 0.3}, {"1up.bmp", 0.5}, {"levelup.bmp", 0.3}};
    for (const auto& s : sprites) {
        const KeyedImage image = load(dir.file(s.name), kBlack);
        EXPECT_GT(drawnTexels(image, 0, 0, image.width, image.height), s.minimum * image.width * image.height) << s.name;
    }
}

// The conversion from drawn (premultiplied) texels to keyed files, tried on
// the cases that go wrong: opaque black and white drawings, faint edges.
TEST(Keying, DrawnTexelsNeverTurnIntoTheKeyColour)
{
    using namespace assetgen;
    Canvas canvas(8, 2);
    canvas.setPremultiplied(0, 0, 0x00000000);  // empty
    canvas.setPremultiplied(1, 0, 0xFF000000);  // opaque black drawing
    canvas.setPremultiplied(2, 0, 0xFFFFFFFF);  // opaque white drawing
    canvas.setPremultiplied(3, 0, 0x80400000);  // half-covered edge
    canvas.setPremultiplied(4, 0, 0x02020202);  // a whisper of coverage
    canvas.setPremultiplied(5, 0, 0xFF102030);
    for (uint32_t key : {kKeyBlack, kKeyWhite}) {
        SCOPED_TRACE(key);
        const Picture bmp = flattenedForBmp(canvas, key);
        EXPECT_EQ(bmp.at(0, 0), 0xFF000000u | key);
        for (int x = 1; x <= 3; ++x) {
            EXPECT_NE(bmp.at(x, 0), 0xFF000000u | key) << x;
            EXPECT_EQ(alphaOf(bmp.at(x, 0)), 255u) << x;
        }
        // An edge is composited onto near-black, never onto the white key.
        EXPECT_LT(luminance(bmp.at(3, 0)), 80.0);
        EXPECT_EQ(bmp.at(5, 0), 0xFF102030u);

        const Picture alpha = keyedWithAlpha(canvas, key);
        EXPECT_EQ(alpha.at(0, 0), 0xFF000000u | key);
        EXPECT_NE(alpha.at(1, 0), 0xFF000000u | key);
        EXPECT_NE(alpha.at(2, 0), 0xFF000000u | key);
        EXPECT_EQ(alpha.at(3, 0), 0x80800000u);  // straight colour, alpha kept
        EXPECT_EQ(alpha.at(5, 0), 0xFF102030u);
    }
}
