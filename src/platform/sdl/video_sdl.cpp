// The graphics device on SDL's renderer, in a window on the display or on
// SDL's offscreen driver.
#include "platform/backends.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/warm_memory.h"

#include <cmath>
#include <memory>
#include <new>
#include <cstdio>
#include <vector>

namespace {

// A frame of a sheet already scaled to the size it is drawn at, and turned
// by the quarter turns it is drawn with: drawing it is then a plain copy,
// which the software renderer does without scratch memory.
struct SpriteCopy {
    const PlatformTexture* texture = nullptr;
    SDL_Rect from{};
    int width = 0, height = 0;   // before the turn
    int quarterTurns = 0;        // clockwise, 0 to 3
    SDL_Texture* copy = nullptr;
};

constexpr size_t kMaxSpriteCopies = 64;

struct Device {
    SDL_Renderer* renderer = nullptr;
    // The software renderer keeps its textures in plain memory of SDL's.
    bool software = false;
    // When the window's inside is exactly the view's size (and the renderer
    // is the software one), the window itself is the back buffer: one
    // full-screen copy less per frame.
    bool drawsIntoWindow = false;
    // A clear not yet done: a frame usually covers it at once with the star
    // map, so it is only done if something else is drawn first.
    bool clearPending = false;
    uint32_t clearColour = 0;
    SDL_Texture* backBuffer = nullptr;        // null while drawing into the window
    SDL_Texture* currentTarget = nullptr;
    std::vector<PlatformTexture*> textures;   // every live texture, re-made after a renderer reset
    std::vector<SpriteCopy> spriteCopies;     // sheet frames drawn scaled or turned
};

// Textures whose pictures were checked at loading but are made only when
// first drawn, or right after a frame is shown: the first frame does not
// wait for the pictures it does not draw.
struct WaitingTexture {
    PlatformTexture* texture = nullptr;
    CheckedImage* image = nullptr;
};
std::vector<WaitingTexture> waitingTextures;

bool offscreen = false;   // SDL's offscreen driver: the software renderer only
Device device;

SDL_Texture* sdlTexture(const PlatformTexture* texture) { return static_cast<SDL_Texture*>(texture->native); }
SDL_Texture* sdlTexture(const PlatformSurface* surface)
{
    return surface->backBuffer ? device.backBuffer : static_cast<SDL_Texture*>(surface->native);
}

void setTarget(SDL_Texture* target)
{
    if (device.currentTarget != target) {
        SDL_SetRenderTarget(device.renderer, target);
        device.currentTarget = target;
    }
}

// A picture decoded into the texture it is drawn from. The software
// renderer's texture is plain memory, written in place; another renderer's
// gets the pixels from memory of our own, once.
struct Upload {
    SDL_Texture* texture = nullptr;
    std::unique_ptr<uint32_t[]> staging;
    int width = 0, height = 0;
};

uint32_t* uploadRows(void* context, int width, int height, int& rowTexels)
{
    auto& upload = *static_cast<Upload*>(context);
    upload.width = width;
    upload.height = height;
    if (device.software) {
        upload.texture = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                           width, height);
        void* pixels = nullptr;
        int pitch = 0;
        if (!upload.texture || SDL_LockTexture(upload.texture, nullptr, &pixels, &pitch) != 0)
            return nullptr;
        rowTexels = pitch / 4;
        return static_cast<uint32_t*>(pixels);
    }
    upload.staging.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]);
    rowTexels = width;
    return upload.staging.get();
}

SDL_Texture* textureFromImage(CheckedImage* image, uint32_t colourKey, bool opaque, SDL_BlendMode blend,
                              SDL_ScaleMode scaleMode, int* width, int* height, std::string& error)
{
    Upload upload;
    ImageDestination into{uploadRows, &upload};
    const bool decoded = convertCheckedImage(image, colourKey, opaque, into, error);
    if (upload.staging && decoded) {
        upload.texture = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                           upload.width, upload.height);
        if (upload.texture)
            SDL_UpdateTexture(upload.texture, nullptr, upload.staging.get(), upload.width * 4);
    } else if (upload.texture) {
        SDL_UnlockTexture(upload.texture);
    }
    if (!decoded || !upload.texture) {
        if (upload.texture)
            SDL_DestroyTexture(upload.texture);
        if (decoded)
            error = SDL_GetError();
        return nullptr;
    }
    SDL_SetTextureBlendMode(upload.texture, blend);
    SDL_SetTextureScaleMode(upload.texture, scaleMode);
    if (width)
        *width = upload.width;
    if (height)
        *height = upload.height;
    return upload.texture;
}

SDL_Texture* decodeIntoTexture(const std::string& path, uint32_t colourKey, bool opaque, SDL_BlendMode blend,
                               SDL_ScaleMode scaleMode, int* width, int* height, std::string& error)
{
    CheckedImage* image = checkImage(path, error);
    return image ? textureFromImage(image, colourKey, opaque, blend, scaleMode, width, height, error) : nullptr;
}

// Only the software renderer draws straight into the window: its window
// keeps its pixels after a present (a screenshot taken then still finds the
// frame), and it is the one that pays for every full-screen copy. A GPU
// renderer composes the view for next to nothing.
bool canDrawIntoWindow()
{
    if (!device.software)
        return false;
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(device.renderer, &outputWidth, &outputHeight);
    return outputWidth == kBackBufferWidth && outputHeight == kBackBufferHeight;
}

bool createBackBuffer()
{
    device.clearPending = false;
    if (device.backBuffer)
        SDL_DestroyTexture(device.backBuffer);
    device.backBuffer = nullptr;
    device.currentTarget = nullptr;
    device.drawsIntoWindow = canDrawIntoWindow();
    if (device.drawsIntoWindow) {
        SDL_SetRenderTarget(device.renderer, nullptr);
        return true;
    }
    device.backBuffer = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                          kBackBufferWidth, kBackBufferHeight);
    if (!device.backBuffer)
        return false;
    SDL_SetTextureBlendMode(device.backBuffer, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(device.backBuffer, SDL_ScaleModeLinear);
    setTarget(device.backBuffer);
    return true;
}

// The window was resized between frames: draw into it, or into a texture
// letterboxed into it, whichever now fits. Nothing is lost, since every
// frame is drawn whole after its clear.
void matchBackBufferToWindow()
{
    if (device.drawsIntoWindow != canDrawIntoWindow())
        createBackBuffer();
}

void doPendingClear()
{
    if (!device.clearPending)
        return;
    device.clearPending = false;
    const uint32_t argb = device.clearColour;
    setTarget(device.backBuffer);
    SDL_SetRenderDrawColor(device.renderer, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, argb >> 24);
    SDL_RenderClear(device.renderer);
}

// Sets the back buffer as the target, cleared first if a clear is owed.
void targetBackBuffer()
{
    doPendingClear();
    setTarget(device.backBuffer);
}

// A renderer reset loses every texture: managed textures come back from the
// pixels they keep, on their next use.
void dropSpriteCopies(const PlatformTexture* only = nullptr)
{
    std::erase_if(device.spriteCopies, [&](const SpriteCopy& copy) {
        if (only && copy.texture != only)
            return false;
        SDL_DestroyTexture(copy.copy);
        return true;
    });
}

void dropTextures()
{
    dropSpriteCopies();
    for (PlatformTexture* texture : device.textures) {
        if (texture->native)
            SDL_DestroyTexture(sdlTexture(texture));
        texture->native = nullptr;
    }
}

// A texture waiting to be made is made from its checked picture; one lost
// with the renderer is decoded again from its file.
SDL_Texture* textureForDrawing(PlatformTexture* texture)
{
    if (texture->native)
        return sdlTexture(texture);
    CheckedImage* image = nullptr;
    for (auto waiting = waitingTextures.begin(); waiting != waitingTextures.end(); ++waiting)
        if (waiting->texture == texture) {
            image = waiting->image;
            waitingTextures.erase(waiting);
            break;
        }
    std::string error;
    if (!image)
        image = checkImage(texture->path, error);
    if (image)
        texture->native = textureFromImage(image, texture->colourKey, false, SDL_BLENDMODE_BLEND, SDL_ScaleModeLinear,
                                           nullptr, nullptr, error);
    return sdlTexture(texture);
}

void makeWaitingTextures()
{
    while (!waitingTextures.empty())
        textureForDrawing(waitingTextures.front().texture);
}

void forgetWaitingTexture(PlatformTexture* texture)
{
    std::erase_if(waitingTextures, [&](const WaitingTexture& waiting) {
        if (waiting.texture != texture)
            return false;
        releaseCheckedImage(waiting.image);
        return true;
    });
}

void modulate(SDL_Texture* texture, uint32_t colour)
{
    SDL_SetTextureColorMod(texture, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    SDL_SetTextureAlphaMod(texture, colour >> 24);
}

SDL_Texture* spriteCopy(PlatformTexture* texture, SDL_Texture* source, const SDL_Rect& from, int width, int height,
                        int quarterTurns = 0)
{
    for (const SpriteCopy& copy : device.spriteCopies)
        if (copy.texture == texture && copy.width == width && copy.height == height
            && copy.quarterTurns == quarterTurns && copy.from.x == from.x && copy.from.y == from.y
            && copy.from.w == from.w && copy.from.h == from.h)
            return copy.copy;
    if (device.spriteCopies.size() >= kMaxSpriteCopies)
        dropSpriteCopies();
    const bool sideways = quarterTurns % 2 != 0;
    SDL_Texture* made = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                          sideways ? height : width, sideways ? width : height);
    if (!made)
        return nullptr;
    SDL_Texture* previousTarget = device.currentTarget;
    setTarget(made);
    SDL_SetRenderDrawColor(device.renderer, 0, 0, 0, 0);
    SDL_RenderClear(device.renderer);
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_NONE);
    modulate(source, 0xFFFFFFFF);
    if (quarterTurns == 0) {
        SDL_RenderCopy(device.renderer, source, &from, nullptr);
    } else {
        // Turned about the copy's own centre, so it fills the copy exactly.
        const int outWidth = sideways ? height : width, outHeight = sideways ? width : height;
        SDL_Rect to{(outWidth - width) / 2, (outHeight - height) / 2, width, height};
        SDL_RenderCopyEx(device.renderer, source, &from, &to, 90.0 * quarterTurns, nullptr, SDL_FLIP_NONE);
    }
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_BLEND);
    setTarget(previousTarget);
    SDL_SetTextureBlendMode(made, SDL_BLENDMODE_BLEND);
    device.spriteCopies.push_back(SpriteCopy{texture, from, width, height, quarterTurns, made});
    return made;
}

// 0 to 3 clockwise quarter turns when `radians` is one (to within a hair),
// otherwise -1.
int quarterTurnsOf(float radians)
{
    const double turns = static_cast<double>(radians) / (M_PI / 2);
    const double nearest = std::round(turns);
    if (std::fabs(turns - nearest) > 1e-4)
        return -1;
    return static_cast<int>(((static_cast<long long>(nearest) % 4) + 4) % 4);
}

// Where the 1024 x 768 view lands in the window: scaled, aspect kept, centred.
SDL_Rect letterbox()
{
    int outputWidth = kBackBufferWidth, outputHeight = kBackBufferHeight;
    SDL_GetRendererOutputSize(device.renderer, &outputWidth, &outputHeight);
    double scale = std::min(static_cast<double>(outputWidth) / kBackBufferWidth,
                            static_cast<double>(outputHeight) / kBackBufferHeight);
    SDL_Rect rect;
    rect.w = static_cast<int>(std::lround(kBackBufferWidth * scale));
    rect.h = static_cast<int>(std::lround(kBackBufferHeight * scale));
    rect.x = (outputWidth - rect.w) / 2;
    rect.y = (outputHeight - rect.h) / 2;
    return rect;
}

void composeIntoWindow()
{
    doPendingClear();
    setTarget(nullptr);
    if (device.drawsIntoWindow)
        return;
    SDL_Rect view = letterbox();
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(device.renderer, &outputWidth, &outputHeight);
    // Black bars only where the view leaves some of the window uncovered.
    if (view.x > 0 || view.y > 0 || view.w < outputWidth || view.h < outputHeight) {
        SDL_SetRenderDrawColor(device.renderer, 0, 0, 0, 255);
        SDL_RenderClear(device.renderer);
    }
    SDL_RenderCopy(device.renderer, device.backBuffer, nullptr, &view);
}

SDL_Rect toSdl(const PixelRect& rect)
{
    return SDL_Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// How a sprite is drawn: a plain copy of `texture` (the part `from`, or all
// of it) to `at`; or, at a turn other than a quarter turn, turned on each draw.
struct SpritePlan {
    SDL_Texture* texture = nullptr;   // null: nothing to draw
    bool turnedOnEachDraw = false;
    bool wholeTexture = false;
    SDL_Rect from{};
    SDL_Rect at{};
    SDL_FRect to{};
    SDL_FPoint centre{};
    double degrees = 0.0;
};

SDL_Rect rounded(const SDL_FRect& rect)
{
    return SDL_Rect{static_cast<int>(std::lround(rect.x)), static_cast<int>(std::lround(rect.y)),
                    static_cast<int>(std::lround(rect.w)), static_cast<int>(std::lround(rect.h))};
}

// Makes the scaled or turned copy a draw needs, if it is not made yet.
SpritePlan planSprite(PlatformTexture* texture, const PixelRect& source, float x, float y, const SpriteTransform& t)
{
    SpritePlan plan;
    SDL_Texture* whole = textureForDrawing(texture);
    if (!whole)
        return plan;
    plan.from = toSdl(source);
    // The texel rectangle starts at (x, y) before the transform: scaled about
    // the origin, turned about the transform's centre, then moved.
    plan.to = SDL_FRect{x * t.scale + t.x, y * t.scale + t.y, plan.from.w * t.scale, plan.from.h * t.scale};
    const SDL_Rect size = rounded(plan.to);
    if (size.w <= 0 || size.h <= 0)
        return plan;
    if (t.rotation == 0.0f) {
        // Unturned sprites are plain copies; scaled ones from a copy made at
        // their size once, since scaling on every draw costs time and memory.
        plan.at = size;
        plan.texture = whole;
        if (size.w != plan.from.w || size.h != plan.from.h) {
            plan.texture = spriteCopy(texture, whole, plan.from, size.w, size.h);
            plan.wholeTexture = true;
        }
        return plan;
    }
    plan.centre = SDL_FPoint{t.centreX - x * t.scale, t.centreY - y * t.scale};
    const int quarterTurns = quarterTurnsOf(t.rotation);
    if (quarterTurns < 0) {
        plan.texture = whole;
        plan.turnedOnEachDraw = true;
        plan.degrees = static_cast<double>(t.rotation) * (180.0 / M_PI);
        return plan;
    }
    // A quarter turn keeps the rectangle a rectangle: draw a copy made turned
    // once, over the box the turned sprite covers.
    plan.texture = spriteCopy(texture, whole, plan.from, size.w, size.h, quarterTurns);
    plan.wholeTexture = true;
    const bool sideways = quarterTurns % 2 != 0;
    const float pivotX = plan.to.x + plan.centre.x, pivotY = plan.to.y + plan.centre.y;
    // The corner (to.x, to.y) and the opposite one, turned about the pivot.
    auto turn = [&](float px, float py, float& outX, float& outY) {
        float dx = px - pivotX, dy = py - pivotY;
        for (int k = 0; k < quarterTurns; ++k) {
            float swap = dx;
            dx = -dy;
            dy = swap;
        }
        outX = pivotX + dx;
        outY = pivotY + dy;
    };
    float ax, ay, bx, by;
    turn(plan.to.x, plan.to.y, ax, ay);
    turn(plan.to.x + plan.to.w, plan.to.y + plan.to.h, bx, by);
    plan.at = SDL_Rect{static_cast<int>(std::lround(std::min(ax, bx))), static_cast<int>(std::lround(std::min(ay, by))),
                       sideways ? size.h : size.w, sideways ? size.w : size.h};
    return plan;
}


// ---------------------------------------------------------------------------
// The service's functions.

bool start(const PlatformConfig& config)
{
    offscreen = config.video == VideoBackend::Offscreen;
    return sdlFontsStart();
}

bool createDevice(bool)
{
    device = Device{};
    SDL_Window* window = sdlWindow();
    if (!window)
        return false;
    Uint32 flags = SDL_RENDERER_TARGETTEXTURE;
    if (offscreen)
        flags |= SDL_RENDERER_SOFTWARE;
    device.renderer = SDL_CreateRenderer(window, -1, flags);
    if (!device.renderer && !(flags & SDL_RENDERER_SOFTWARE))
        device.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_TARGETTEXTURE | SDL_RENDERER_SOFTWARE);
    if (!device.renderer) {
        std::fprintf(stderr, "kestrelon: no graphics device: %s\n", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info{};
    device.software = SDL_GetRendererInfo(device.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    // Only the software renderer's textures live in memory of SDL's: for
    // any other, the pages warmed for them are given back now.
    if (!device.software)
        stopWarmMemory();
    if (!createBackBuffer()) {
        std::fprintf(stderr, "kestrelon: no back buffer: %s\n", SDL_GetError());
        SDL_DestroyRenderer(device.renderer);
        device.renderer = nullptr;
        return false;
    }
    return true;
}

bool resetDevice(bool windowed, bool texturesLost)
{
    SDL_SetWindowFullscreen(sdlWindow(), windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (texturesLost)
        dropTextures();
    return createBackBuffer();
}

void releaseDevice()
{
    dropTextures();
    if (device.backBuffer)
        SDL_DestroyTexture(device.backBuffer);
    device.backBuffer = nullptr;
    if (device.renderer)
        SDL_DestroyRenderer(device.renderer);
    device.renderer = nullptr;
}

void clear(uint32_t argb)
{
    matchBackBufferToWindow();
    device.clearPending = true;
    device.clearColour = argb;
}

void present()
{
    composeIntoWindow();
    SDL_RenderPresent(device.renderer);
    stopWarmMemory();   // the first frame is shown: start-up is over
    setTarget(device.backBuffer);
    makeWaitingTextures();
}

bool screenshot(bool windowed, std::string& bmp)
{
    int width = kBackBufferWidth, height = kBackBufferHeight;
    if (windowed) {
        // The window's client area as the player sees it, letterbox included.
        composeIntoWindow();
        SDL_GetRendererOutputSize(device.renderer, &width, &height);
    } else {
        targetBackBuffer();
    }
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!shot)
        return false;
    bool read = SDL_RenderReadPixels(device.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shot->pixels, shot->pitch) == 0;
    setTarget(device.backBuffer);
    SDL_Surface* rgb = read ? SDL_ConvertSurfaceFormat(shot, SDL_PIXELFORMAT_RGB24, 0) : nullptr;
    SDL_FreeSurface(shot);
    if (!rgb)
        return false;
    // A 24-bit bitmap: its headers, then rows padded to four bytes.
    bmp.assign(1024 + static_cast<size_t>(rgb->h) * ((rgb->w * 3 + 3) & ~3), '\0');
    SDL_RWops* out = SDL_RWFromMem(bmp.data(), static_cast<int>(bmp.size()));
    const bool saved = out && SDL_SaveBMP_RW(rgb, out, 0) == 0;
    if (out) {
        bmp.resize(saved ? static_cast<size_t>(SDL_RWtell(out)) : 0);
        SDL_RWclose(out);
    }
    SDL_FreeSurface(rgb);
    return saved;
}

bool readBackBuffer(std::vector<uint32_t>& argb)
{
    argb.assign(static_cast<size_t>(kBackBufferWidth) * kBackBufferHeight, 0);
    targetBackBuffer();
    return SDL_RenderReadPixels(device.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                                kBackBufferWidth * 4) == 0;
}

bool makeTarget(PlatformSurface* surface)
{
    SDL_Texture* texture = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                             surface->width, surface->height);
    if (!texture)
        return false;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    surface->native = texture;
    return true;
}

bool loadSurface(PlatformSurface* surface, const std::string& path, uint32_t colourKey, std::string& error)
{
    surface->native = decodeIntoTexture(path, colourKey, true, SDL_BLENDMODE_NONE, SDL_ScaleModeNearest,
                                        &surface->width, &surface->height, error);
    return surface->native != nullptr;
}

void releaseSurface(PlatformSurface* surface)
{
    if (surface->native)
        SDL_DestroyTexture(sdlTexture(surface));
    surface->native = nullptr;
}

bool copySurface(PlatformSurface* source, const PixelRect& sourceRect, PlatformSurface* destination,
                 const PixelRect& destinationRect)
{
    SDL_Rect from = toSdl(sourceRect);
    SDL_Rect to = toSdl(destinationRect);
    if (destination->backBuffer) {
        // Surfaces are opaque: a copy over the whole view makes its clear moot.
        if (to.x == 0 && to.y == 0 && to.w == kBackBufferWidth && to.h == kBackBufferHeight)
            device.clearPending = false;
        doPendingClear();
    }
    setTarget(sdlTexture(destination));
    bool copied = SDL_RenderCopy(device.renderer, sdlTexture(source), &from, &to) == 0;
    setTarget(device.backBuffer);
    return copied;
}

void drawFromSheet(PlatformTexture* texture, const PixelRect& source, float x, float y, uint32_t colour,
                   const SpriteTransform& transform)
{
    targetBackBuffer();
    SpritePlan plan = planSprite(texture, source, x, y, transform);
    if (!plan.texture)
        return;
    modulate(plan.texture, colour);
    if (plan.turnedOnEachDraw)
        SDL_RenderCopyExF(device.renderer, plan.texture, &plan.from, &plan.to, plan.degrees, &plan.centre,
                          SDL_FLIP_NONE);
    else
        SDL_RenderCopy(device.renderer, plan.texture, plan.wholeTexture ? nullptr : &plan.from, &plan.at);
}

void prepareFromSheet(PlatformTexture* texture, const PixelRect& source, const SpriteTransform& transform)
{
    targetBackBuffer();
    SpritePlan plan = planSprite(texture, source, 0.0f, 0.0f, transform);
    if (!plan.texture || plan.turnedOnEachDraw)
        return;
    // Drawn once, as a real draw is: the renderer keeps a little bookkeeping
    // for each picture it copies onto a target, made on the first copy.
    modulate(plan.texture, 0xFFFFFFFF);
    SDL_RenderCopy(device.renderer, plan.texture, plan.wholeTexture ? nullptr : &plan.from, &plan.at);
}

bool loadTexture(PlatformTexture* texture, std::string& error)
{
    CheckedImage* image = checkImage(texture->path, error);
    if (!image)
        return false;
    waitingTextures.push_back({texture, image});
    device.textures.push_back(texture);
    return true;
}

void releaseTexture(PlatformTexture* texture)
{
    forgetWaitingTexture(texture);
    dropSpriteCopies(texture);
    if (texture->native)
        SDL_DestroyTexture(sdlTexture(texture));
    texture->native = nullptr;
    std::erase(device.textures, texture);
}

} // namespace

SDL_Renderer* sdlRenderer() { return device.renderer; }

void sdlTargetBackBuffer() { targetBackBuffer(); }

const VideoService kSdlVideo = {
    .start = start,
    .stop =
        [] {
            while (!waitingTextures.empty())
                forgetWaitingTexture(waitingTextures.front().texture);
            sdlFontsStop();
        },
    .createDevice = createDevice,
    .resetDevice = resetDevice,
    .releaseDevice = releaseDevice,
    .clear = clear,
    .present = present,
    .screenshot = screenshot,
    .readBackBuffer = readBackBuffer,
    .drawsIntoWindow = [] { return device.drawsIntoWindow; },
    .rendererName =
        [] {
            SDL_RendererInfo info{};
            return device.renderer && SDL_GetRendererInfo(device.renderer, &info) == 0 ? info.name : "none";
        },
    .makeTarget = makeTarget,
    .loadSurface = loadSurface,
    .releaseSurface = releaseSurface,
    .copySurface = copySurface,
    .beginBatch = targetBackBuffer,
    .spriteDraw = drawFromSheet,
    .spritePrepare = prepareFromSheet,
    .loadTexture = loadTexture,
    .releaseTexture = releaseTexture,
    .openFont = sdlOpenFont,
    .releaseFont = sdlReleaseFont,
    .fontLost = sdlFontLost,
    .fontDrawText = sdlDrawText,
};
