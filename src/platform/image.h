// Image files decoded to 32-bit ARGB with a colour key applied: texels of
// exactly the key colour become transparent black, every other texel keeps
// its own alpha. The textures and surfaces of the game are made from these.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A picture in memory, row after row.
struct KeyedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;   // width * height texels

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// Reads a BMP, PNG or TGA file, converts and keys it. `opaque` (a plain
// surface, which has no alpha): keyed texels opaque black and every other
// texel's alpha full. Returns false (and leaves `error` set) when the file
// is missing, cannot be decoded or is cut short.
bool loadKeyedImage(const std::string& path, uint32_t colourKey, bool opaque, KeyedImage& out, std::string& error);
