// Every image, sound and font of the game, loaded once at start-up from
// data/ (relative to the working directory) and released at shutdown.
#pragma once
#include "platform/video.h"

#include <cstdint>
#include <string>

extern PlatformTexture* spaceshipTexture;
extern PlatformTexture* bulletsTexture;
extern PlatformTexture* ammoguiTexture;
extern PlatformTexture* ammogui2Texture;
extern PlatformTexture* asteroidTexture;
extern PlatformTexture* gamelogoTexture;
extern PlatformTexture* gameoverTexture;
extern PlatformTexture* skill1Texture;
extern PlatformTexture* skill2Texture;
extern PlatformTexture* oneUpTexture;
extern PlatformTexture* levelupTexture;
extern PlatformTexture* bossTexture;
extern PlatformTexture* bosshealthTexture;

extern PlatformSurface* spacemapSurface;
extern const char* const kSpacemapPath;

extern PlatformFont* fontArial26;
extern PlatformFont* fontArial48;
extern PlatformFont* fontCourier22;

// Called first thing at start-up: the pictures are read and the fonts'
// glyphs rasterised on threads of their own while the window, the device
// and the sound start (none of that needs a device).
void startLoadingAssets();
// Waits for that work; what start-up calls when it gives up before
// loadAssets. False when a font could not be made.
bool finishLoadingAssets();

// True when every image and sound loaded; a file that did not is named on
// stderr. All thirteen textures are tried before giving up.
bool loadAssets();
void releaseAssets();

PlatformTexture* loadTexture(const char* path, uint32_t colourKey);
PlatformSurface* loadSurface(const char* path);
PlatformFont* createFont(const char* face, int height);
