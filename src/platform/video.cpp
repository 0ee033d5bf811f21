// The graphics device's calls: the state every backend shares (whether the
// device exists, is lost, wants a reset; the sprite batch and its transform;
// the handle records) kept here, the drawing itself done by the backend.
#include "platform/video.h"

#include "platform/video_service.h"
#include "platform/files.h"
#include "platform/call_log.h"

#include <cstdio>

namespace {

struct Device {
    bool exists = false;
    bool needsReset = false;
    bool texturesLost = false;
    bool driverError = false;
    int lostTestsLeft = 0;
    bool spriteBatch = false;
    SpriteTransform transform;
    PlatformSurface backBuffer;
};

const VideoService* video = &kNoVideo;
Device device;

bool insideSurface(const PlatformSurface* surface, const PixelRect& rect)
{
    return rect.left >= 0 && rect.top >= 0 && rect.right <= surface->width && rect.bottom <= surface->height
           && rect.left < rect.right && rect.top < rect.bottom;
}

std::string baseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

void useVideo(const VideoService& service) { video = &service; }

bool videoCreateDevice(bool windowed)
{
    device = Device{};
    device.backBuffer.width = kBackBufferWidth;
    device.backBuffer.height = kBackBufferHeight;
    device.backBuffer.backBuffer = true;
    device.backBuffer.target = true;
    if (!video->createDevice(windowed))
        return false;
    device.exists = true;
    return true;
}

bool videoDeviceExists() { return device.exists; }

CooperativeLevel videoTestCooperativeLevel()
{
    if (device.driverError)
        return CooperativeLevel::DriverInternalError;
    if (device.lostTestsLeft > 0) {
        --device.lostTestsLeft;
        return CooperativeLevel::DeviceLost;
    }
    if (device.needsReset)
        return CooperativeLevel::DeviceNotReset;
    return CooperativeLevel::Ok;
}

bool videoResetDevice(bool windowed)
{
    if (!device.exists)
        return false;
    if (device.lostTestsLeft > 0)
        return false;
    if (!video->resetDevice(windowed, device.texturesLost))
        return false;
    device.texturesLost = false;
    device.needsReset = false;
    return true;
}

void videoReleaseDevice()
{
    if (!device.exists)
        return;
    video->releaseDevice();
    device.exists = false;
}

void videoClear(uint32_t argb) { video->clear(argb); }

bool videoBeginScene()
{
    // A lost device cannot draw until it has been reset.
    return device.exists && !device.needsReset && device.lostTestsLeft == 0 && !device.driverError;
}

void videoEndScene() {}

void videoPresent()
{
    logPresent();
    video->present();
}

bool videoSaveScreenshot(const char* name, bool windowed)
{
    std::string bmp;
    if (!video->screenshot(windowed, bmp))
        return false;
    std::string error;
    if (replacePlayerFile(name, bmp, error))
        return true;
    std::fprintf(stderr, "kestrelon: cannot save the screenshot %s: %s\n", playerFilePath(name).c_str(), error.c_str());
    return false;
}
bool videoReadBackBuffer(std::vector<uint32_t>& argb) { return video->readBackBuffer(argb); }
bool videoDrawsIntoWindow() { return video->drawsIntoWindow(); }
const char* videoRendererName() { return video->rendererName(); }

PlatformSurface* videoGetBackBuffer() { return device.exists ? &device.backBuffer : nullptr; }

PlatformSurface* videoCreateOffscreenSurface(int width, int height)
{
    if (!device.exists || width <= 0 || height <= 0)
        return nullptr;
    auto* surface = new PlatformSurface;
    surface->width = width;
    surface->height = height;
    surface->target = true;
    if (!video->makeTarget(surface)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

PlatformSurface* videoLoadSurface(const std::string& path, uint32_t colourKey, std::string& error)
{
    if (!device.exists) {
        error = "no graphics device";
        return nullptr;
    }
    auto* surface = new PlatformSurface;
    if (!video->loadSurface(surface, gameFilePath(path), colourKey, error)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

void videoReleaseSurface(PlatformSurface* surface)
{
    if (!surface || surface->backBuffer)
        return;
    video->releaseSurface(surface);
    delete surface;
}

bool videoCopySurface(PlatformSurface* source, const PixelRect& sourceRect, PlatformSurface* destination,
                      const PixelRect& destinationRect)
{
    if (!source || !destination || !destination->target)
        return false;
    if (!insideSurface(source, sourceRect) || !insideSurface(destination, destinationRect))
        return false;
    return video->copySurface(source, sourceRect, destination, destinationRect);
}

bool videoCreateSpriteBatch()
{
    device.spriteBatch = device.exists;
    device.transform = SpriteTransform{};
    return device.spriteBatch;
}

void videoReleaseSpriteBatch() { device.spriteBatch = false; }

bool spriteBatchBegin()
{
    if (!device.spriteBatch)
        return false;
    video->beginBatch();
    return true;
}

void spriteBatchEnd() {}

void spriteSetTransform(const SpriteTransform& transform) { device.transform = transform; }

void spriteDraw(PlatformTexture* texture, const PixelRect& source, float x, float y, uint32_t colour)
{
    if (texture && device.spriteBatch)
        video->spriteDraw(texture, source, x, y, colour, device.transform);
}

void spritePrepare(PlatformTexture* texture, const PixelRect& source)
{
    if (texture && device.spriteBatch)
        video->spritePrepare(texture, source, device.transform);
}

PlatformTexture* videoLoadTexture(const std::string& path, uint32_t colourKey, std::string& error)
{
    if (!device.exists) {
        error = "no graphics device";
        return nullptr;
    }
    auto* texture = new PlatformTexture;
    texture->name = baseName(path);
    texture->path = gameFilePath(path);
    texture->colourKey = colourKey;
    if (!video->loadTexture(texture, error)) {
        delete texture;
        return nullptr;
    }
    return texture;
}

void videoReleaseTexture(PlatformTexture* texture)
{
    if (!texture)
        return;
    video->releaseTexture(texture);
    delete texture;
}

const std::string& textureName(const PlatformTexture* texture) { return texture->name; }

// A font needs no device until it is drawn: it may be made before one.
PlatformFont* videoCreateFont(const char* face, int height)
{
    if (height <= 0)
        return nullptr;
    auto* font = new PlatformFont;
    font->face = face;
    font->height = height;
    if (!video->openFont(font)) {
        delete font;
        return nullptr;
    }
    return font;
}

void videoReleaseFont(PlatformFont* font)
{
    if (!font)
        return;
    video->releaseFont(font);
    delete font;
}

void fontOnLostDevice(PlatformFont* font)
{
    if (font)
        video->fontLost(font);
}

// What a font lost comes back on its next use.
void fontOnResetDevice(PlatformFont*) {}

void fontDrawText(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text)
{
    if (font && !text.empty())
        video->fontDrawText(font, x, y, argb, text);
}

void simulateDeviceLoss(int lostTests)
{
    device.lostTestsLeft = lostTests;
    device.needsReset = true;
}

void simulateDriverError() { device.driverError = true; }

void videoNoteContentLost(bool wholeDevice)
{
    device.needsReset = true;
    if (wholeDevice)
        device.texturesLost = true;
}
