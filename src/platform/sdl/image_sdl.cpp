// Pictures through SDL_image: read into a surface, converted once to ARGB,
// keyed in one pass. No video subsystem is needed for this.
#include "platform/image.h"
#include "platform/sdl/sdl_internal.h"

#include <SDL_image.h>

#include <cstring>

namespace {

bool endsWith(const std::string& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    return text.size() >= length && SDL_strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

// SDL_image reads an uncompressed TGA that ends early without complaint,
// filling the rest with nothing; a damaged file must fail instead. Its
// header tells how long it must be. (Run-length encoded ones cannot be told
// from their header; SDL_image checks those as it decodes.)
bool tgaCutShort(SDL_RWops* file)
{
    Uint8 header[18];
    const Sint64 size = SDL_RWsize(file);
    if (SDL_RWread(file, header, sizeof header, 1) != 1)
        return true;
    SDL_RWseek(file, 0, RW_SEEK_SET);
    const int type = header[2];
    if (type != 1 && type != 2 && type != 3)
        return false;
    auto little16 = [&](int at) { return static_cast<Sint64>(header[at] | header[at + 1] << 8); };
    const Sint64 colourMap = header[1] ? little16(5) * ((header[7] + 7) / 8) : 0;
    const Sint64 pixels = little16(12) * little16(14) * ((header[16] + 7) / 8);
    return size < static_cast<Sint64>(sizeof header) + header[0] + colourMap + pixels;
}

} // namespace

SDL_Surface* loadKeyedSurface(const std::string& path, uint32_t colourKey, bool opaque, std::string& error)
{
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) {
        error = SDL_GetError();
        return nullptr;
    }
    const bool tga = endsWith(path, ".tga");
    if (tga && tgaCutShort(file)) {
        SDL_RWclose(file);
        error = "the TGA file is cut short";
        return nullptr;
    }
    SDL_Surface* loaded = tga ? IMG_LoadTGA_RW(file) : IMG_Load_RW(file, 0);
    SDL_RWclose(file);
    SDL_Surface* argb = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    if (!argb) {
        error = SDL_GetError();
        SDL_FreeSurface(loaded);
        return nullptr;
    }
    SDL_FreeSurface(loaded);
    // Texels of exactly the key become transparent black; a plain surface
    // (opaque) has no alpha, so every other texel's is full.
    const uint32_t alpha = opaque ? 0xFF000000u : 0u;
    for (int y = 0; y < argb->h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x)
            row[x] = (row[x] == colourKey ? 0u : row[x]) | alpha;
    }
    return argb;
}

bool loadKeyedImage(const std::string& path, uint32_t colourKey, bool opaque, KeyedImage& out, std::string& error)
{
    SDL_Surface* surface = loadKeyedSurface(path, colourKey, opaque, error);
    if (!surface)
        return false;
    out.width = surface->w;
    out.height = surface->h;
    out.argb.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        std::memcpy(&out.argb[static_cast<size_t>(y) * out.width], static_cast<uint8_t*>(surface->pixels) + y * surface->pitch,
                    static_cast<size_t>(out.width) * 4);
    SDL_FreeSurface(surface);
    return true;
}
