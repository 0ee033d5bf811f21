// The video service: the graphics device, its surfaces, textures, sprites
// and fonts, a table per backend (SDL's renderer, or nothing drawn), chosen
// once; and the records behind the video handles.
// Only the backends and the seam include it; the game never does.
#pragma once
#include "platform/platform.h"
#include "platform/video.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The records behind the video handles. The seam keeps what every backend
// needs; `native` is the backend's own object.
struct PlatformTexture {
    std::string name;     // file name without folder or extension
    std::string path;     // decoded again when the device lost its copy
    uint32_t colourKey = 0;
    void* native = nullptr;
};

struct PlatformSurface {
    int width = 0;
    int height = 0;
    bool backBuffer = false;   // the device's own back buffer
    bool target = false;       // can be drawn into
    void* native = nullptr;
};

struct PlatformFont {
    std::string face;
    int height = 0;
    void* native = nullptr;
};

struct VideoService {
    bool (*start)(const PlatformConfig& config);
    void (*stop)();
    bool (*createDevice)(bool windowed);
    // Applies the window mode and re-makes what the device lost; with
    // `texturesLost` every texture's own copy on the device too.
    bool (*resetDevice)(bool windowed, bool texturesLost);
    void (*releaseDevice)();
    void (*clear)(uint32_t argb);
    void (*present)();
    // The screen as the player sees it, as the bytes of a Windows bitmap.
    bool (*screenshot)(bool windowed, std::string& bmp);
    bool (*readBackBuffer)(std::vector<uint32_t>& argb);
    bool (*drawsIntoWindow)();
    const char* (*rendererName)();
    bool (*makeTarget)(PlatformSurface* surface);
    // Decodes the picture straight into the surface or texture made for it
    // (a surface: opaque, keyed texels black), and sets the surface's size.
    bool (*loadSurface)(PlatformSurface* surface, const std::string& path, uint32_t colourKey, std::string& error);
    void (*releaseSurface)(PlatformSurface* surface);
    bool (*copySurface)(PlatformSurface* source, const PixelRect& sourceRect, PlatformSurface* destination,
                        const PixelRect& destinationRect);
    void (*beginBatch)();
    void (*spriteDraw)(PlatformTexture* texture, const PixelRect& source, float x, float y, uint32_t colour,
                       const SpriteTransform& transform);
    void (*spritePrepare)(PlatformTexture* texture, const PixelRect& source, const SpriteTransform& transform);
    bool (*loadTexture)(PlatformTexture* texture, std::string& error);
    void (*releaseTexture)(PlatformTexture* texture);
    bool (*openFont)(PlatformFont* font);
    void (*releaseFont)(PlatformFont* font);
    void (*fontLost)(PlatformFont* font);
    void (*fontDrawText)(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text);
};

extern const VideoService kSdlVideo;   // sdl/video_sdl.cpp
extern const VideoService kNoVideo;    // headless/video_none.cpp
void useVideo(const VideoService& service);
