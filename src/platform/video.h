// The graphics device: a 1024 x 768 back buffer presented into the window
// (scaled, aspect kept), off-screen surfaces with unfiltered copies, keyed
// textures drawn through a sprite batch with a 2-D transform, fonts, and the
// device's loss and reset. Backends: SDL's renderer (in a window or on the
// offscreen driver) or none (files still decoded, so a bad one fails as it
// would; nothing drawn; the call log still listens).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct PlatformTexture;
struct PlatformSurface;
struct PlatformFont;

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;   // right and bottom exclusive
};

// Scale about the origin, turn about (centreX, centreY), then move by (x, y).
struct SpriteTransform {
    float scale = 1.0f;
    float rotation = 0.0f;   // radians, clockwise on screen
    float centreX = 0.0f, centreY = 0.0f;
    float x = 0.0f, y = 0.0f;
};

enum class CooperativeLevel { Ok, DeviceLost, DeviceNotReset, DriverInternalError };

constexpr int kBackBufferWidth = 1024;
constexpr int kBackBufferHeight = 768;

// Device.
bool videoCreateDevice(bool windowed);
bool videoDeviceExists();
CooperativeLevel videoTestCooperativeLevel();
bool videoResetDevice(bool windowed);          // switches the window mode too
void videoReleaseDevice();
void videoClear(uint32_t argb);
bool videoBeginScene();
void videoEndScene();
void videoPresent();
// The screen as the player sees it (the window in windowed mode, the 1024 x
// 768 view in full screen) saved as a Windows bitmap under the player's
// file `name`, replaced in one step; false (and a line on stderr when it
// could not be written) when there is nothing to save.
bool videoSaveScreenshot(const char* name, bool windowed);
// The back buffer's pixels, 1024 x 768 ARGB; false when nothing is drawn.
bool videoReadBackBuffer(std::vector<uint32_t>& argb);
// True while the window is drawn into directly: the software renderer, and a
// window exactly the view's size.
bool videoDrawsIntoWindow();
// What draws: the renderer's own name ("software", "opengl", ...), or "none".
const char* videoRendererName();

// Surfaces: the back buffer reference, off-screen targets and plain images.
PlatformSurface* videoGetBackBuffer();
PlatformSurface* videoCreateOffscreenSurface(int width, int height);
PlatformSurface* videoLoadSurface(const std::string& path, uint32_t colourKey, std::string& error);
void videoReleaseSurface(PlatformSurface* surface);
bool videoCopySurface(PlatformSurface* source, const PixelRect& sourceRect,
                      PlatformSurface* destination, const PixelRect& destinationRect);

// Sprite batch and textures.
bool videoCreateSpriteBatch();
void videoReleaseSpriteBatch();
bool spriteBatchBegin();
void spriteBatchEnd();
void spriteSetTransform(const SpriteTransform& transform);
void spriteDraw(PlatformTexture* texture, const PixelRect& source, float x, float y, uint32_t colour);
// Readies, under the current transform, what drawing `source` needs, so that
// its first draw in a frame costs no more than the others. It is drawn once,
// into the back buffer: the next frame's clear must come before any present.
void spritePrepare(PlatformTexture* texture, const PixelRect& source);

PlatformTexture* videoLoadTexture(const std::string& path, uint32_t colourKey, std::string& error);
void videoReleaseTexture(PlatformTexture* texture);
const std::string& textureName(const PlatformTexture* texture);   // file name without folder or extension

// Fonts: the face is matched by fontconfig; the size is chosen so that the
// line height is as close as possible to `height` pixels.
PlatformFont* videoCreateFont(const char* face, int height);
void videoReleaseFont(PlatformFont* font);
void fontOnLostDevice(PlatformFont* font);
void fontOnResetDevice(PlatformFont* font);
void fontDrawText(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text);

// Faults of the device, as a replay script or a test stages them: after
// `lostTests` tests report a lost device, tests report "not reset" until a
// reset succeeds; a driver error is for good.
void simulateDeviceLoss(int lostTests);
void simulateDriverError();

// The window system says the device lost what it drew with: render targets,
// or with `wholeDevice` every texture too. The device then reads "not reset"
// until it is reset.
void videoNoteContentLost(bool wholeDevice);
