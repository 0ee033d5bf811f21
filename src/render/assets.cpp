// Loading and releasing the game's images, sounds and fonts.
#include "render/assets.h"

#include "audio/sound.h"
#include "render/device.h"

#include <cstdio>
#include <string>

PlatformTexture* spaceshipTexture = nullptr;
PlatformTexture* bulletsTexture = nullptr;
PlatformTexture* ammoguiTexture = nullptr;
PlatformTexture* ammogui2Texture = nullptr;
PlatformTexture* asteroidTexture = nullptr;
PlatformTexture* gamelogoTexture = nullptr;
PlatformTexture* gameoverTexture = nullptr;
PlatformTexture* skill1Texture = nullptr;
PlatformTexture* skill2Texture = nullptr;
PlatformTexture* oneUpTexture = nullptr;
PlatformTexture* levelupTexture = nullptr;
PlatformTexture* bossTexture = nullptr;
PlatformTexture* bosshealthTexture = nullptr;

PlatformSurface* spacemapSurface = nullptr;
const char* const kSpacemapPath = "data/spacemap.bmp";

PlatformFont* fontArial26 = nullptr;
PlatformFont* fontArial48 = nullptr;
PlatformFont* fontCourier22 = nullptr;

namespace {

constexpr uint32_t kBlackKey = 0xFF000000;
constexpr uint32_t kWhiteKey = 0xFFFFFFFF;

struct TextureFile {
    PlatformTexture** handle;
    const char* path;
    uint32_t colourKey;
};

const TextureFile kTextureFiles[] = {
    {&spaceshipTexture, "data/spaceship.png", kBlackKey},
    {&bulletsTexture, "data/bullets.png", kWhiteKey},
    {&ammoguiTexture, "data/ammogui.bmp", kBlackKey},
    {&ammogui2Texture, "data/ammogui2.bmp", kBlackKey},
    {&asteroidTexture, "data/asteroid.tga", kBlackKey},
    {&gamelogoTexture, "data/gamelogo.bmp", kBlackKey},
    {&gameoverTexture, "data/gameover.bmp", kBlackKey},
    {&skill1Texture, "data/skill1.bmp", kWhiteKey},
    {&skill2Texture, "data/skill2.bmp", kWhiteKey},
    {&oneUpTexture, "data/1up.bmp", kBlackKey},
    {&levelupTexture, "data/levelup.bmp", kBlackKey},
    {&bossTexture, "data/bosstest.png", kBlackKey},
    {&bosshealthTexture, "data/bosshealth.bmp", kBlackKey},
};

struct SoundFile {
    PlatformSound** handle;
    const char* path;
};

const SoundFile kSoundFiles[] = {
    {&shootSound, "data/sound/_shoot.wav"},         {&scoreSound, "data/sound/_score.wav"},
    {&hitSound, "data/sound/_hit.wav"},             {&gameoverSound, "data/sound/_gameover.wav"},
    {&countdownSound, "data/sound/_countdown.wav"}, {&oneUpSound, "data/sound/_1up.wav"},
    {&levelupSound, "data/sound/_levelup.wav"},     {&bossshootSound, "data/sound/_bossshoot.wav"},
    {&menubgndSound, "data/sound/_menubgnd.wav"},
};

// Released in this order at shutdown.
PlatformTexture** const kTextureReleaseOrder[] = {
    &gameoverTexture, &asteroidTexture, &bulletsTexture, &ammoguiTexture, &ammogui2Texture,
    &spaceshipTexture, &gamelogoTexture, &skill1Texture, &skill2Texture, &oneUpTexture,
    &levelupTexture, &bossTexture, &bosshealthTexture,
};

} // namespace

PlatformTexture* loadTexture(const char* path, uint32_t colourKey)
{
    std::string error;
    PlatformTexture* texture = videoLoadTexture(path, colourKey, error);
    if (!texture)
        std::fprintf(stderr, "kestrelon: cannot load %s: %s\n", path, error.c_str());
    return texture;
}

PlatformSurface* loadSurface(const char* path)
{
    std::string error;
    PlatformSurface* surface = videoLoadSurface(path, kBlackKey, error);
    if (!surface)
        std::fprintf(stderr, "kestrelon: cannot load %s: %s\n", path, error.c_str());
    return surface;
}

PlatformFont* createFont(const char* face, int height) { return videoCreateFont(face, height); }

bool loadAssets()
{
    spacemapSurface = loadSurface(kSpacemapPath);
    if (!spacemapSurface)
        return false;
    // Every picture is tried, so that each missing one is named.
    bool allTextures = true;
    for (const TextureFile& file : kTextureFiles) {
        *file.handle = loadTexture(file.path, file.colourKey);
        allTextures = allTextures && *file.handle;
    }
    if (!allTextures)
        return false;
    for (const SoundFile& file : kSoundFiles)
        if (!loadSound(file.path, file.handle))
            return false;
    // A missing font draws nothing; the game plays on.
    fontArial26 = createFont("Arial", 26);
    fontArial48 = createFont("Arial", 48);
    fontCourier22 = createFont("Courier New", 22);
    return true;
}

void releaseAssets()
{
    videoReleaseSurface(mapBuffer);
    mapBuffer = nullptr;
    videoReleaseSurface(spacemapSurface);
    spacemapSurface = nullptr;
    for (PlatformFont** font : {&fontArial26, &fontArial48, &fontCourier22}) {
        videoReleaseFont(*font);
        *font = nullptr;
    }
    for (PlatformTexture** texture : kTextureReleaseOrder) {
        videoReleaseTexture(*texture);
        *texture = nullptr;
    }
    for (const SoundFile& file : kSoundFiles) {
        if (*file.handle)
            soundRelease(*file.handle);
        *file.handle = nullptr;
    }
}
