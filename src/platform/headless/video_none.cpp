// No drawing at all: the device exists, loses and resets as scripted (that
// is the seam's), pictures are decoded so that a bad file fails as it would,
// and every draw is only what the call log hears of it.
#include "platform/video_service.h"

#include "platform/image.h"

#include <vector>

namespace {

// Decodes the picture, so a bad file fails as it would: nothing is kept but
// the size.
bool decodeToNowhere(const std::string& path, uint32_t colourKey, PlatformSurface* surface, std::string& error)
{
    KeyedImage image;
    if (!loadKeyedImage(path, colourKey, surface != nullptr, image, error))
        return false;
    if (surface) {
        surface->width = image.width;
        surface->height = image.height;
    }
    return true;
}

} // namespace

const VideoService kNoVideo = {
    .start = [](const PlatformConfig&) { return true; },
    .stop = [] {},
    .createDevice = [](bool) { return true; },
    .resetDevice = [](bool, bool) { return true; },
    .releaseDevice = [] {},
    .clear = [](uint32_t) {},
    .present = [] {},
    .screenshot = [](bool, std::string&) { return false; },
    .readBackBuffer = [](std::vector<uint32_t>&) { return false; },
    .drawsIntoWindow = [] { return false; },
    .rendererName = [] { return "none"; },
    .makeTarget = [](PlatformSurface*) { return true; },
    .loadSurface =
        [](PlatformSurface* surface, const std::string& path, uint32_t colourKey, std::string& error) {
            return decodeToNowhere(path, colourKey, surface, error);
        },
    .releaseSurface = [](PlatformSurface*) {},
    .copySurface = [](PlatformSurface*, const PixelRect&, PlatformSurface*, const PixelRect&) { return true; },
    .beginBatch = [] {},
    .spriteDraw = [](PlatformTexture*, const PixelRect&, float, float, uint32_t, const SpriteTransform&) {},
    .spritePrepare = [](PlatformTexture*, const PixelRect&, const SpriteTransform&) {},
    .loadTexture =
        [](PlatformTexture* texture, std::string& error) {
            return decodeToNowhere(texture->path, texture->colourKey, nullptr, error);
        },
    .releaseTexture = [](PlatformTexture*) {},
    .openFont = [](PlatformFont*) { return true; },
    .releaseFont = [](PlatformFont*) {},
    .fontLost = [](PlatformFont*) {},
    .fontDrawText = [](PlatformFont*, int, int, uint32_t, std::string_view) {},
};
