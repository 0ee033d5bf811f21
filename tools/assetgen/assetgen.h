// The asset generator: every picture and sound the game loads from data/ is
// drawn or synthesised here, deterministically (same bytes on every run).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Options {
    std::string outDir;
    bool scoresOnly = false;       // only write scores.txt (when absent)
    std::string contactSheet;      // when not empty, also write a review page here
    // When not empty, only these data files (names as in generatedFiles())
    // are made; scores.txt is still written when absent.
    std::vector<std::string> only;
};

// Writes data/ into options.outDir. Returns false and sets `error` (one line)
// on failure.
bool generate(const Options& options, std::string& error);

// The desktop icons, drawn from the ship: iconsDir/hicolor/NxN/apps/name.png
// for N = 16, 24, 32, 48, 64, 128 and 256, transparent around the ship.
bool writeIcons(const std::string& iconsDir, const std::string& name, std::string& error);

// Every file generate() writes besides scores.txt, relative to the data folder.
const std::vector<std::string>& generatedFiles();

// --- Pieces exposed for the tests ---------------------------------------

// The star map as designed: a vertically tileable 1024 x 768 picture, opaque
// 0xFFRRGGBB texels, exactly as they end up in the atlas.
std::vector<uint32_t> starMapPicture();

inline constexpr int kStarMapWidth = 1024;
inline constexpr int kStarMapHeight = 768;
inline constexpr int kStarTile = 64;

// The default high-score table, CR LF line ends.
std::string defaultScores();

} // namespace assetgen
