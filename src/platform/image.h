// Image files decoded to 32-bit ARGB with a colour key applied: texels of
// exactly the key colour become transparent black, every other texel keeps
// its own alpha. The textures and surfaces of the game are made from these.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct KeyedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;   // row after row, width * height texels

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// Reads a BMP, PNG or TGA file. Returns false (and leaves `error` set) when the
// file is missing or cannot be decoded.
bool loadKeyedImage(const std::string& path, uint32_t colourKey, KeyedImage& out, std::string& error);
