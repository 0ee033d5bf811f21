#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace assettest {

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kestrelon-assets-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
    path_ = buf.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void generateInto(const std::string& dir, const std::vector<std::string>& only)
{
    assetgen::Options options;
    options.outDir = dir;
    options.only = only;
    std::string error;
    ASSERT_TRUE(assetgen::generate(options, error)) << error;
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            names.push_back(std::filesystem::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

KeyedImage load(const std::string& path, uint32_t key)
{
    KeyedImage image;
    std::string error;
    EXPECT_TRUE(loadKeyedImage(path, key, false, image, error)) << path << ": " << error;
    return image;
}

int drawnTexels(const KeyedImage& image, int x, int y, int w, int h)
{
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            n += alphaOf(image.at(i, j)) != 0;
    return n;
}

} // namespace assettest
