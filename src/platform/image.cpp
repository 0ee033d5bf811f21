// Decoding through SDL_image; no video subsystem is needed for this.
#include "platform/image.h"

#include <SDL.h>
#include <SDL_image.h>

bool loadKeyedImage(const std::string& path, uint32_t colourKey, KeyedImage& out, std::string& error)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        error = IMG_GetError();
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) {
        error = SDL_GetError();
        return false;
    }
    out.width = argb->w;
    out.height = argb->h;
    out.argb.resize(static_cast<size_t>(argb->w) * argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) {
            uint32_t texel = row[x];
            out.argb[static_cast<size_t>(y) * argb->w + x] = texel == colourKey ? 0u : texel;
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}
