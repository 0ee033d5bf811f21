// Helpers for the asset tests: temporary folders, generation, file reading.
#pragma once
#include "assetgen.h"
#include "platform/image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assettest {

inline constexpr uint32_t kBlack = 0xFF000000u;
inline constexpr uint32_t kWhite = 0xFFFFFFFFu;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Generates the named data files (all when empty) into `dir`; fails the test
// on error.
void generateInto(const std::string& dir, const std::vector<std::string>& only = {});

std::vector<uint8_t> readBytes(const std::string& path);
bool exists(const std::string& path);
std::vector<std::string> filesIn(const std::string& dir);  // relative names, recursive, sorted

// Loads through the game's loader; fails the test on error.
KeyedImage load(const std::string& path, uint32_t key);

inline uint32_t alphaOf(uint32_t argb) { return argb >> 24; }
// Number of texels with any alpha inside a rectangle.
int drawnTexels(const KeyedImage& image, int x, int y, int w, int h);

} // namespace assettest
