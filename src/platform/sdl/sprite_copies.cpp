// Frames of sprite sheets kept scaled to the size they are drawn at, and
// turned by the quarter turns they are drawn with: drawing one is then a
// plain copy, which the software renderer does without scratch memory.
#include "platform/sdl/sdl_internal.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct SpriteCopy {
    const void* owner = nullptr;   // the texture it was made from
    SDL_Rect from{};
    int width = 0, height = 0;     // before the turn
    int quarterTurns = 0;          // clockwise, 0 to 3
    SDL_Texture* copy = nullptr;
};

// Beyond this many the whole cache is dropped and made again as drawn.
constexpr size_t kMaxSpriteCopies = 64;

std::vector<SpriteCopy> copies;

bool sameRect(const SDL_Rect& a, const SDL_Rect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

} // namespace

SDL_Texture* sdlSpriteCopy(const void* owner, SDL_Texture* source, const SDL_Rect& from, int width, int height,
                           int quarterTurns)
{
    for (const SpriteCopy& copy : copies)
        if (copy.owner == owner && copy.width == width && copy.height == height && copy.quarterTurns == quarterTurns
            && sameRect(copy.from, from))
            return copy.copy;
    if (copies.size() >= kMaxSpriteCopies)
        sdlDropSpriteCopies(nullptr);
    SDL_Renderer* renderer = sdlRenderer();
    const bool sideways = quarterTurns % 2 != 0;
    SDL_Texture* made = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                          sideways ? height : width, sideways ? width : height);
    if (!made)
        return nullptr;
    SDL_Texture* previousTarget = SDL_GetRenderTarget(renderer);
    SDL_SetRenderTarget(renderer, made);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
    SDL_RenderClear(renderer);
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_SetTextureColorMod(source, 255, 255, 255);
    SDL_SetTextureAlphaMod(source, 255);
    if (quarterTurns == 0) {
        SDL_RenderCopy(renderer, source, &from, nullptr);
    } else {
        // Turned about the copy's own centre, so it fills the copy exactly.
        const int outWidth = sideways ? height : width, outHeight = sideways ? width : height;
        SDL_Rect to{(outWidth - width) / 2, (outHeight - height) / 2, width, height};
        SDL_RenderCopyEx(renderer, source, &from, &to, 90.0 * quarterTurns, nullptr, SDL_FLIP_NONE);
    }
    SDL_SetTextureBlendMode(source, SDL_BLENDMODE_BLEND);
    SDL_SetRenderTarget(renderer, previousTarget);
    SDL_SetTextureBlendMode(made, SDL_BLENDMODE_BLEND);
    copies.push_back(SpriteCopy{owner, from, width, height, quarterTurns, made});
    return made;
}

void sdlDropSpriteCopies(const void* owner)
{
    std::erase_if(copies, [&](const SpriteCopy& copy) {
        if (owner && copy.owner != owner)
            return false;
        SDL_DestroyTexture(copy.copy);
        return true;
    });
}

int quarterTurnsOf(float radians)
{
    const double turns = static_cast<double>(radians) / (std::numbers::pi / 2);
    const double nearest = std::round(turns);
    if (std::fabs(turns - nearest) > 1e-4)
        return -1;
    return static_cast<int>(((static_cast<long long>(nearest) % 4) + 4) % 4);
}
