// The star map as the game composes it: map row r, column c shows atlas cell
// r * 16 + c + 1, and the 12 rows repeat, so row 11 is followed by row 0.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assettest;

namespace {

constexpr int kCols = 16, kRows = 12, kTile = 64;

// The 1024 x 768 view built from the atlas through the tile table.
std::vector<uint32_t> compose(const KeyedImage& atlas)
{
    std::vector<uint32_t> view(static_cast<size_t>(kCols * kTile) * kRows * kTile);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            const int t = r * kCols + c + 1;
            const int ax = (t % kCols) * kTile, ay = (t / kCols) * kTile;
            for (int y = 0; y < kTile; ++y)
                for (int x = 0; x < kTile; ++x)
                    view[static_cast<size_t>(r * kTile + y) * kCols * kTile + c * kTile + x] = atlas.at(ax + x, ay + y);
        }
    return view;
}

double channelDistance(uint32_t a, uint32_t b)
{
    double d = 0;
    for (int s = 0; s < 24; s += 8)
        d += std::abs(static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255));
    return d;
}

// Mean difference between two rows of the view.
double rowStep(const std::vector<uint32_t>& view, int a, int b)
{
    const int w = kCols * kTile;
    double sum = 0;
    for (int x = 0; x < w; ++x)
        sum += channelDistance(view[static_cast<size_t>(a) * w + x], view[static_cast<size_t>(b) * w + x]);
    return sum / w;
}

// A seam in the nebula is a change that runs coherently along the border,
// while stars only add scattered noise: take the median of three rows on
// each side per column, then average the signed change over 32-column
// stretches before taking its size.
double coherentJump(const std::vector<uint32_t>& view, int border)
{
    const int w = kCols * kTile, h = kRows * kTile;
    auto level = [&](int x, int y) {
        const uint32_t t = view[static_cast<size_t>((y % h + h) % h) * w + x];
        return static_cast<double>(((t >> 16) & 255) + ((t >> 8) & 255) + (t & 255));
    };
    double total = 0;
    for (int x0 = 0; x0 < w; x0 += 32) {
        double change = 0;
        for (int x = x0; x < x0 + 32; ++x) {
            double above[3], below[3];
            for (int i = 0; i < 3; ++i) {
                above[i] = level(x, border - 1 - i);
                below[i] = level(x, border + i);
            }
            std::sort(above, above + 3);
            std::sort(below, below + 3);
            change += below[1] - above[1];
        }
        total += std::fabs(change / 32);
    }
    return total / (w / 32);
}

} // namespace

TEST(StarMap, AtlasComposesTheDesignedPictureWithoutSeams)
{
    TempDir dir;
    generateInto(dir.path(), {"spacemap.bmp"});
    const KeyedImage atlas = load(dir.file("spacemap.bmp"), kBlack);
    ASSERT_EQ(atlas.width, 1024);
    ASSERT_EQ(atlas.height, 832);

    const std::vector<uint32_t> view = compose(atlas);
    const std::vector<uint32_t> picture = assetgen::starMapPicture();
    ASSERT_EQ(view.size(), picture.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < view.size(); ++i)
        mismatches += view[i] != picture[i];
    EXPECT_EQ(mismatches, 0u) << "the atlas does not put each picture tile where the table reads it";

    // Since the view is the picture itself, the tile borders inside it are
    // no seams. What remains is the wrap from the last map row back to the
    // first: it may change no more than the roughest step between any two
    // rows inside the picture (stars included), and the nebula may not jump.
    double roughestRow = 0;
    for (int y = 0; y + 1 < kRows * kTile; ++y)
        roughestRow = std::max(roughestRow, rowStep(view, y, y + 1));
    double roughestBand = 0;
    for (int y = 3; y + 3 < kRows * kTile; ++y)
        roughestBand = std::max(roughestBand, coherentJump(view, y));
    EXPECT_LE(rowStep(view, kRows * kTile - 1, 0), roughestRow) << "seam where the map wraps";
    EXPECT_LE(coherentJump(view, 0), roughestBand) << "nebula seam where the map wraps";

    // Cells the table never reads stay black.
    EXPECT_EQ(drawnTexels(atlas, 0, 0, kTile, kTile), 0);
}

TEST(StarMap, IsDarkSpaceWithStarsOfSeveralBrightnesses)
{
    const std::vector<uint32_t> picture = assetgen::starMapPicture();
    int faint = 0, bright = 0, dark = 0, pureBlack = 0;
    for (uint32_t t : picture) {
        const int l = std::max({(t >> 16) & 255, (t >> 8) & 255, t & 255});
        dark += l < 60;
        faint += l >= 60 && l < 160;
        bright += l >= 230;
        pureBlack += (t & 0xFFFFFF) == 0;
        ASSERT_EQ(t >> 24, 0xFFu);
    }
    const int n = static_cast<int>(picture.size());
    EXPECT_GT(dark, n * 9 / 10);
    EXPECT_GT(faint, 2000);
    EXPECT_GT(bright, 100);
    EXPECT_EQ(pureBlack, 0);
}
