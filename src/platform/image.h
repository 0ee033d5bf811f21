// Image files decoded to 32-bit ARGB with a colour key applied: texels of
// exactly the key colour become transparent black, every other texel keeps
// its own alpha. The textures and surfaces of the game are made from these,
// decoded straight into the memory they are drawn from.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where a decoded picture goes. `rows` is called once, with the picture's
// size, and gives the memory of its first row and how many texels on the
// next row starts (0: every row into the same one); null refuses it.
struct ImageDestination {
    uint32_t* (*rows)(void* context, int width, int height, int& rowTexels) = nullptr;
    void* context = nullptr;
};

// Reads a BMP, PNG or TGA file, converts and keys it in one pass into the
// destination. `opaque` (a plain surface, which has no alpha): keyed texels
// opaque black and every other texel's alpha full. Returns false (and leaves
// `error` set) when the file is missing or cannot be decoded.
bool decodeKeyedImage(const std::string& path, uint32_t colourKey, bool opaque, const ImageDestination& into,
                      std::string& error);

// A picture read and checked, not yet converted: what decodeKeyedImage does
// in two steps, so that the second can wait until the picture is drawn.
struct CheckedImage;
// Null (and `error` set) when the file is missing or cannot be decoded.
CheckedImage* checkImage(const std::string& path, std::string& error);
// Converts as decodeKeyedImage does, and lets the picture go either way.
bool convertCheckedImage(CheckedImage* image, uint32_t colourKey, bool opaque, const ImageDestination& into,
                         std::string& error);
void releaseCheckedImage(CheckedImage* image);

// Starts reading and decoding these files on a thread of the decoder's
// own, so that decodeKeyedImage of one of them later only waits for it, if
// it must, and converts it. Meant for start-up, while the window opens.
void preloadImages(const std::vector<std::string>& paths);
// Lets go of whatever was preloaded and never asked for.
void discardPreloadedImages();

// A picture in memory of its own, for whoever reads its texels (the tests).
struct KeyedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;   // row after row, width * height texels

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

bool loadKeyedImage(const std::string& path, uint32_t colourKey, KeyedImage& out, std::string& error);
