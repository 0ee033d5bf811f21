// The scrolling star map: a fixed table of 64 x 64 tiles over the atlas
// data/spacemap.bmp, scrolled vertically during play and turning at both
// ends; the background of every screen.
#pragma once
#include <array>
#include <cstdint>

constexpr int kMapColumns = 16;
constexpr int kMapRows = 96;
constexpr int kMapBlockRows = 12;
constexpr int kTileSize = 64;
constexpr int32_t kMapYLimit = 6079 - 768;   // 5311: the last row that fills the view

// One block of 12 rows counting 1 to 192, repeated 8 times.
constexpr std::array<int32_t, kMapColumns * kMapRows> makeMapTiles()
{
    std::array<int32_t, kMapColumns * kMapRows> tiles{};
    for (int row = 0; row < kMapRows; ++row)
        for (int column = 0; column < kMapColumns; ++column)
            tiles[row * kMapColumns + column] = (row % kMapBlockRows) * kMapColumns + column + 1;
    return tiles;
}

inline constexpr std::array<int32_t, kMapColumns * kMapRows> kMapTiles = makeMapTiles();

// Advances mapYExact by mapYSpeed x frameScale; turns at either end.
void scrollMap();

// Composes the 13 x 17 tiles around the scroll position into mapBuffer. The
// buffer is left alone when it already holds those tile rows.
void drawStarMap();
