// Pictures decoded into keyed ARGB texels: the exact colours of 24-bit,
// 32-bit and paletted files, stored either way up, the key made transparent
// and nothing else; files cut short are refused.
#include "platform/image.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

struct ImageTest : testing::Test {
    std::string dir = makeGameDir();
    ~ImageTest() override { removeTree(dir); }

    // Every texel a different colour, with the key colour at (1, 0).
    static std::vector<uint32_t> pattern(int width, int height, uint32_t key)
    {
        std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[static_cast<size_t>(y) * width + x] =
                    0xFF000000u | static_cast<uint32_t>(x * 37 + 1) << 16 | static_cast<uint32_t>(y * 53 + 2) << 8
                    | static_cast<uint32_t>((x * 11 + y * 7 + 3) & 0xFF);
        argb[1] = key;
        return argb;
    }
};

void put16(std::string& out, size_t at, uint32_t v)
{
    out[at] = static_cast<char>(v);
    out[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& out, size_t at, uint32_t v)
{
    put16(out, at, v);
    put16(out, at + 2, v >> 16);
}

} // namespace

TEST_F(ImageTest, TwentyFourBitBmpKeepsEveryColourAndKeysOnlyTheKey)
{
    const uint32_t key = 0xFFFFFFFF;
    // An odd width, so that rows are padded in the file.
    std::vector<uint32_t> argb = pattern(7, 5, key);
    argb[9] = 0xFFFFFFFE;   // one step from the key stays
    writeBmp(dir + "/p.bmp", 7, 5, argb);
    KeyedImage image;
    std::string error;
    ASSERT_TRUE(loadKeyedImage(dir + "/p.bmp", key, false, image, error)) << error;
    ASSERT_EQ(image.width, 7);
    ASSERT_EQ(image.height, 5);
    for (size_t i = 0; i < argb.size(); ++i)
        EXPECT_EQ(image.argb[i], i == 1 ? 0u : argb[i]) << i;
}

TEST_F(ImageTest, ThirtyTwoBitTgaKeepsItsAlpha)
{
    // Uncompressed true colour, 32 bits, top-left origin: BGRA bytes.
    const int width = 4, height = 3;
    std::string file(18, '\0');
    file[2] = 2;
    put16(file, 12, width);
    put16(file, 14, height);
    file[16] = 32;
    file[17] = 0x28;   // 8 alpha bits, top-left origin
    std::vector<uint32_t> argb = pattern(width, height, 0xFF000000);
    argb[5] = 0x80102030;   // half transparent
    for (uint32_t texel : argb)
        for (int shift : {0, 8, 16, 24})
            file.push_back(static_cast<char>(texel >> shift));
    writeFile(dir + "/p.tga", file);
    KeyedImage image;
    std::string error;
    ASSERT_TRUE(loadKeyedImage(dir + "/p.tga", 0xFF000000, false, image, error)) << error;
    for (size_t i = 0; i < argb.size(); ++i)
        EXPECT_EQ(image.argb[i], i == 1 ? 0u : argb[i]) << i;
}

TEST_F(ImageTest, PalettedBmpGoesThroughTheConverterWithTheSameKey)
{
    // 8 bits per texel, four colours; the key is palette entry 2.
    const int width = 4, height = 2;
    const uint32_t palette[4] = {0xFF102030, 0xFF405060, 0xFF000000, 0xFFFFFFFF};
    const uint8_t texels[height][width] = {{0, 1, 2, 3}, {3, 2, 1, 0}};
    std::string file(54, '\0');
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 10, 54 + 16);
    put32(file, 14, 40);
    put32(file, 18, width);
    put32(file, 22, height);
    put16(file, 26, 1);
    put16(file, 28, 8);
    put32(file, 46, 4);
    for (uint32_t colour : palette)
        for (int shift : {0, 8, 16, 24})
            file.push_back(static_cast<char>(shift == 24 ? 0 : colour >> shift));
    for (int y = height - 1; y >= 0; --y)   // bottom row first, rows of 4 bytes
        for (int x = 0; x < width; ++x)
            file.push_back(static_cast<char>(texels[y][x]));
    put32(file, 2, static_cast<uint32_t>(file.size()));
    writeFile(dir + "/p8.bmp", file);
    KeyedImage image;
    std::string error;
    ASSERT_TRUE(loadKeyedImage(dir + "/p8.bmp", 0xFF000000, false, image, error)) << error;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t colour = palette[texels[y][x]];
            EXPECT_EQ(image.at(x, y), colour == 0xFF000000 ? 0u : colour) << x << "," << y;
        }
}

TEST_F(ImageTest, EitherWayUpTheRowsComeOutTopFirst)
{
    const int width = 3, height = 4;
    const std::vector<uint32_t> argb = pattern(width, height, 0xFF000000);

    // A BMP with a negative height is stored top row first.
    writeBmp(dir + "/top.bmp", width, height, argb);
    std::string bmp = readFile(dir + "/top.bmp");
    const size_t rowBytes = 12;
    std::string topFirst = bmp.substr(0, 54);
    put32(topFirst, 22, static_cast<uint32_t>(-height));
    for (int row = height - 1; row >= 0; --row)
        topFirst += bmp.substr(54 + row * rowBytes, rowBytes);
    writeFile(dir + "/top.bmp", topFirst);

    // A TGA without the top-left flag is stored bottom row first; one of
    // 24 bits goes through SDL_image.
    auto tga = [&](int bits, bool topLeft) {
        std::string file(18, '\0');
        file[2] = 2;
        put16(file, 12, width);
        put16(file, 14, height);
        file[16] = static_cast<char>(bits);
        file[17] = static_cast<char>((bits == 32 ? 8 : 0) | (topLeft ? 0x20 : 0));
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x) {
                const uint32_t texel = argb[static_cast<size_t>(topLeft ? row : height - 1 - row) * width + x];
                for (int shift = 0; shift < bits; shift += 8)
                    file.push_back(static_cast<char>(texel >> shift));
            }
        return file;
    };
    writeFile(dir + "/bottom32.tga", tga(32, false));
    writeFile(dir + "/bottom24.tga", tga(24, false));
    writeFile(dir + "/top24.tga", tga(24, true));

    for (const char* name : {"top.bmp", "bottom32.tga", "bottom24.tga", "top24.tga"}) {
        SCOPED_TRACE(name);
        KeyedImage image;
        std::string error;
        ASSERT_TRUE(loadKeyedImage(dir + "/" + name, 0xFF000000, false, image, error)) << error;
        ASSERT_EQ(image.width, width);
        ASSERT_EQ(image.height, height);
        for (size_t i = 0; i < argb.size(); ++i)
            EXPECT_EQ(image.argb[i], i == 1 ? 0u : argb[i]) << i;
    }
}

TEST_F(ImageTest, ABmpOrTgaCutShortOfItsLastRowIsRefused)
{
    writeBmp(dir + "/p.bmp", 7, 5, pattern(7, 5, 0xFF000000));
    std::string bmp = readFile(dir + "/p.bmp");
    writeFile(dir + "/p.bmp", bmp.substr(0, bmp.size() - 1));
    std::string tga(18, '\0');
    tga[2] = 2;
    put16(tga, 12, 4);
    put16(tga, 14, 3);
    tga[16] = 32;
    tga[17] = 0x28;
    tga += std::string(4 * 4 * 3 - 1, '\x40');
    writeFile(dir + "/p.tga", tga);
    // SDL refuses the BMP in its own words; the TGA, which SDL_image would
    // read padded with nothing, is refused by its header's length.
    const struct {
        const char* name;
        const char* says;
    } cutShort[] = {{"p.bmp", "Error reading"}, {"p.tga", "the TGA file is cut short"}};
    for (const auto& file : cutShort) {
        KeyedImage image;
        std::string error;
        EXPECT_FALSE(loadKeyedImage(dir + "/" + file.name, 0xFF000000, false, image, error)) << file.name;
        EXPECT_NE(error.find(file.says), std::string::npos) << file.name << ": " << error;
    }
}
