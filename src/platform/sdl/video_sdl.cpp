// The graphics device on SDL's renderer, in a window on the display or on
// SDL's offscreen driver.
#include "platform/video_service.h"
#include "platform/sdl/sdl_internal.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <thread>
#include <vector>

namespace {

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
};

bool offscreen = false;   // SDL's offscreen driver: the software renderer only
Device device;

// Frame pacing, for a player who asked for it (--max-fps, or --vsync where
// the display will not do it): each present waits for its moment, one
// period after the one before. The game reads the clock after the present,
// as it would after a present that waited for the display.
using PacingClock = std::chrono::steady_clock;
PacingClock::duration framePeriod{};   // zero: no limit
PacingClock::time_point lastPresent{};

PacingClock::duration periodOf(int framesPerSecond)
{
    return std::chrono::duration_cast<PacingClock::duration>(std::chrono::duration<double>(1.0 / framesPerSecond));
}

void keepToFrameRate()
{
    if (framePeriod == PacingClock::duration::zero())
        return;
    const PacingClock::time_point due = lastPresent + framePeriod;
    PacingClock::time_point now = PacingClock::now();
    if (now < due) {
        std::this_thread::sleep_until(due);
        now = PacingClock::now();
    }
    // On time, or late by less than a period: the next one is due a period
    // after this one's moment, so the rate holds. Later than that (a frame
    // that took long, a pause): the count starts again from now, and no
    // burst of frames makes up for it.
    lastPresent = now - due < framePeriod ? due : now;
}

// The pacing the player asked for, once the renderer is made: vsync where
// the renderer does it, else a limit at the display's rate; --max-fps on
// top, where it is the slower.
void choosePacing(const SDL_RendererInfo& info)
{
    const PlatformConfig& config = sdlConfig();
    int limit = config.maxFps;
    // SDL's software renderer says it has vsync when asked, but its frames
    // reach the window unsynchronised (measured: a thousand a second).
    const bool synced = (info.flags & SDL_RENDERER_PRESENTVSYNC) && !(info.flags & SDL_RENDERER_SOFTWARE);
    if (config.vsync && !synced) {
        SDL_DisplayMode mode{};
        const int display = SDL_GetWindowDisplayIndex(sdlWindow());
        const int refresh = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                                ? mode.refresh_rate
                                : 60;
        limit = limit > 0 ? std::min(limit, refresh) : refresh;
        std::fprintf(stderr, "kestrelon: no vsync here; frames are held to %d a second instead\n", limit);
    }
    framePeriod = limit > 0 ? periodOf(limit) : PacingClock::duration::zero();
    lastPresent = PacingClock::now();
}

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

// A picture file as a texture of the renderer, keyed; the size it has.
SDL_Texture* textureFromFile(const std::string& path, uint32_t colourKey, bool opaque, SDL_BlendMode blend,
                             SDL_ScaleMode scaleMode, int* width, int* height, std::string& error)
{
    SDL_Surface* picture = loadKeyedSurface(path, colourKey, opaque, error);
    if (!picture)
        return nullptr;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(device.renderer, picture);
    if (width)
        *width = picture->w;
    if (height)
        *height = picture->h;
    SDL_FreeSurface(picture);
    if (!texture) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture, blend);
    SDL_SetTextureScaleMode(texture, scaleMode);
    return texture;
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

// A renderer reset loses every texture: managed textures come back from
// their files, on their next use.
void dropTextures()
{
    sdlDropSpriteCopies(nullptr);
    for (PlatformTexture* texture : device.textures) {
        if (texture->native)
            SDL_DestroyTexture(sdlTexture(texture));
        texture->native = nullptr;
    }
}

// The texture, made again from its file when the renderer lost it.
SDL_Texture* textureForDrawing(PlatformTexture* texture)
{
    if (!texture->native) {
        std::string error;
        texture->native = textureFromFile(texture->path, texture->colourKey, false, SDL_BLENDMODE_BLEND,
                                          SDL_ScaleModeLinear, nullptr, nullptr, error);
    }
    return sdlTexture(texture);
}

void modulate(SDL_Texture* texture, uint32_t colour)
{
    SDL_SetTextureColorMod(texture, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    SDL_SetTextureAlphaMod(texture, colour >> 24);
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
            plan.texture = sdlSpriteCopy(texture, whole, plan.from, size.w, size.h, 0);
            plan.wholeTexture = true;
        }
        return plan;
    }
    plan.centre = SDL_FPoint{t.centreX - x * t.scale, t.centreY - y * t.scale};
    const int quarterTurns = quarterTurnsOf(t.rotation);
    if (quarterTurns < 0) {
        plan.texture = whole;
        plan.turnedOnEachDraw = true;
        plan.degrees = static_cast<double>(t.rotation) * (180.0 / std::numbers::pi);
        return plan;
    }
    // A quarter turn keeps the rectangle a rectangle: draw a copy made turned
    // once, over the box the turned sprite covers.
    plan.texture = sdlSpriteCopy(texture, whole, plan.from, size.w, size.h, quarterTurns);
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


// SDL's software renderer draws into the window's framebuffer, which SDL by
// default hands on to OpenGL (or Direct3D) as a texture each frame. Where
// that is done in software too (no graphics driver: the usual reason to ask
// for the software renderer), it costs several times the drawing itself.
// X11 and Windows take the pixels directly; SDL_FRAMEBUFFER_ACCELERATION
// set by the player still wins.
void plainFramebufferForTheSoftwareRenderer()
{
    const char* renderer = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const char* video = SDL_GetCurrentVideoDriver();
    if (renderer && SDL_strcasecmp(renderer, "software") == 0 && video
        && (std::strcmp(video, "x11") == 0 || std::strcmp(video, "windows") == 0))
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

// ---------------------------------------------------------------------------
// The service's functions.

bool start(const PlatformConfig& config)
{
    offscreen = config.video == VideoBackend::Offscreen;
    return sdlFontsStart();
}

bool createDevice(bool windowed)
{
    device = Device{};
    SDL_Window* window = sdlWindow();
    if (!window)
        return false;
    if (!windowed)
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    Uint32 flags = SDL_RENDERER_TARGETTEXTURE;
    if (offscreen)
        flags |= SDL_RENDERER_SOFTWARE;
    plainFramebufferForTheSoftwareRenderer();
    device.renderer = SDL_CreateRenderer(window, -1, flags);
    if (!device.renderer && !(flags & SDL_RENDERER_SOFTWARE))
        device.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_TARGETTEXTURE | SDL_RENDERER_SOFTWARE);
    if (!device.renderer) {
        std::fprintf(stderr, "kestrelon: no graphics device: %s\n", SDL_GetError());
        return false;
    }
    SDL_RendererInfo info{};
    device.software = SDL_GetRendererInfo(device.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    choosePacing(info);
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
    // A switch of the screen mode keeps the frame on show: a screen that
    // waits for a key (Alt+Enter works there too) draws no other.
    if (!texturesLost && device.backBuffer && !canDrawIntoWindow()) {
        device.clearPending = false;
        sdlShowLastFrame();
        return true;
    }
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
    // The frame is ready: it waits for its moment, then goes to the screen
    // at once, so frames reach the screen evenly however long each took.
    keepToFrameRate();
    SDL_RenderPresent(device.renderer);
    setTarget(device.backBuffer);
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
    surface->native = textureFromFile(path, colourKey, true, SDL_BLENDMODE_NONE, SDL_ScaleModeNearest,
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
    texture->native = textureFromFile(texture->path, texture->colourKey, false, SDL_BLENDMODE_BLEND,
                                      SDL_ScaleModeLinear, nullptr, nullptr, error);
    if (!texture->native)
        return false;
    device.textures.push_back(texture);
    return true;
}

void releaseTexture(PlatformTexture* texture)
{
    sdlDropSpriteCopies(texture);
    if (texture->native)
        SDL_DestroyTexture(sdlTexture(texture));
    texture->native = nullptr;
    std::erase(device.textures, texture);
}

} // namespace

SDL_Renderer* sdlRenderer() { return device.renderer; }

void sdlTargetBackBuffer() { targetBackBuffer(); }

void sdlShowLastFrame()
{
    if (!device.renderer || !device.backBuffer || device.drawsIntoWindow || device.clearPending)
        return;
    composeIntoWindow();
    SDL_RenderPresent(device.renderer);
    setTarget(device.backBuffer);
}

const VideoService kSdlVideo = {
    .start = start,
    .stop = sdlFontsStop,
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
