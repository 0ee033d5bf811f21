// Scrolling and composing the star map.
#include "game/star_map.h"

#include "game/frame_time.h"
#include "game/world.h"
#include "render/assets.h"
#include "render/device.h"

namespace {

constexpr int kComposedRows = 768 / kTileSize + 1;
constexpr int kComposedColumns = 1024 / kTileSize + 1;

// What mapBuffer holds now, so an unchanged map is not composed again.
struct Composed {
    int32_t row = -1;
    int32_t column = -1;
    uint32_t bufferGeneration = 0;
};

Composed composed;

} // namespace

void scrollMap()
{
    mapYExact += mapYSpeed * frameScale;
    mapY = static_cast<int32_t>(mapYExact);
    if (mapY < 0) {
        mapY = 0;
        mapYSpeed = -mapYSpeed;
    } else if (mapY > kMapYLimit) {
        mapY = kMapYLimit;
        mapYSpeed = -mapYSpeed;
    }
}

void drawStarMap()
{
    const int32_t column0 = mapX / kTileSize;
    const int32_t row0 = mapY / kTileSize;
    if (composed.row == row0 && composed.column == column0 && composed.bufferGeneration == mapBufferGeneration)
        return;
    for (int r = 0; r < kComposedRows; ++r) {
        for (int c = 0; c < kComposedColumns; ++c) {
            // The 17th column reads the first entry of the next table row.
            int32_t tile = kMapTiles[(row0 + r) * kMapColumns + column0 + c];
            int32_t left = kTileSize * (tile % kMapColumns);
            int32_t top = kTileSize * (tile / kMapColumns);
            videoCopySurface(spacemapSurface, PixelRect{left, top, left + kTileSize, top + kTileSize}, mapBuffer,
                             PixelRect{kTileSize * c, kTileSize * r, kTileSize * (c + 1), kTileSize * (r + 1)});
        }
    }
    composed = Composed{row0, column0, mapBufferGeneration};
}
