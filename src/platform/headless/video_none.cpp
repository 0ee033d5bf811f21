// No drawing at all: the device exists, loses and resets as scripted (that
// is the seam's), pictures are decoded so that a bad file fails as it would,
// and every draw is only what the recorder hears of it.
#include "platform/backends.h"

const VideoService kNoVideo = {
    .start = [](const PlatformConfig&) { return true; },
    .stop = [] {},
    .createDevice = [](bool) { return true; },
    .resetDevice = [](bool, bool) { return true; },
    .releaseDevice = [] {},
    .clear = [](uint32_t) {},
    .present = [] {},
    .saveScreenshot = [](const char*, bool) { return false; },
    .readBackBuffer = [](std::vector<uint32_t>&) { return false; },
    .drawsIntoWindow = [] { return false; },
    .makeTarget = [](PlatformSurface*) { return true; },
    .adoptSurface = [](PlatformSurface*, const KeyedImage&, std::string&) { return true; },
    .releaseSurface = [](PlatformSurface*) {},
    .copySurface = [](PlatformSurface*, const PixelRect&, PlatformSurface*, const PixelRect&) { return true; },
    .beginBatch = [] {},
    .spriteDraw = [](PlatformTexture*, const PixelRect&, float, float, uint32_t, const SpriteTransform&) {},
    .spritePrepare = [](PlatformTexture*, const PixelRect&, const SpriteTransform&) {},
    .adoptTexture =
        [](PlatformTexture* texture, std::string&) {
            // Only the name is ever asked for.
            texture->image = KeyedImage{};
            return true;
        },
    .releaseTexture = [](PlatformTexture*) {},
    .openFont = [](PlatformFont*) { return true; },
    .releaseFont = [](PlatformFont*) {},
    .fontLost = [](PlatformFont*) {},
    .fontDrawText = [](PlatformFont*, int, int, uint32_t, std::string_view) {},
};
