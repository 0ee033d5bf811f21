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

// In this order: the map tile picture, the thirteen textures (all tried,
// each missing one named on stderr), the nine sounds (the first that fails
// ends it), the three fonts (a missing one draws nothing). True when every
// image and sound loaded.
bool loadAssets();
void releaseAssets();

PlatformTexture* loadTexture(const char* path, uint32_t colourKey);
PlatformSurface* loadSurface(const char* path);
PlatformFont* createFont(const char* face, int height);
