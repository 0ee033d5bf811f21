// Fonts on SDL2_ttf: the face comes from fontconfig's match, and rendered
// strings are kept (by colour and text) so unchanged text is not rasterised
// again every frame.
#include "platform/platform.h"
#include "platform/recorder.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/video_types.h"
#include "platform/video.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kCachedTextsPerFont = 256;

std::string matchFontFile(const char* face)
{
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
    if (!pattern)
        return file;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// The point size whose line height comes closest to the wanted pixel height.
void fitHeight(TTF_Font* font, int height)
{
    int best = height, bestError = 1 << 30;
    for (int size = height / 2; size <= height * 3 / 2; ++size) {
        if (TTF_SetFontSize(font, size) != 0)
            continue;
        int error = std::abs(TTF_FontHeight(font) - height);
        if (error < bestError) {
            best = size;
            bestError = error;
        }
    }
    TTF_SetFontSize(font, best);
}

// The game's strings are in the Windows ANSI code page; Latin-1 covers what
// it ever draws.
std::string latin1ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void dropCache(PlatformFont* font)
{
    for (auto& entry : font->cache)
        SDL_DestroyTexture(entry.second.texture);
    font->cache.clear();
    font->ages.clear();
}

CachedText* renderText(PlatformFont* font, uint32_t argb, std::string_view text)
{
    // The lookup key is built in a buffer the font keeps, so drawing a text
    // that is already cached allocates nothing.
    std::string& key = font->lookupKey;
    key.assign(reinterpret_cast<const char*>(&argb), sizeof argb);
    key.append(text);
    auto found = font->cache.find(key);
    if (found != font->cache.end()) {
        font->ages.splice(font->ages.begin(), font->ages, found->second.age);
        return &found->second;
    }
    SDL_Color colour{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                     static_cast<Uint8>(argb >> 24)};
    SDL_Surface* surface = TTF_RenderUTF8_Blended_Wrapped(font->font, latin1ToUtf8(text).c_str(), colour, 0);
    if (!surface)
        return nullptr;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(sdlRenderer(), surface);
    int width = surface->w, height = surface->h;
    SDL_FreeSurface(surface);
    if (!texture)
        return nullptr;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    if (font->cache.size() >= kCachedTextsPerFont) {
        auto oldest = font->cache.find(font->ages.back());
        SDL_DestroyTexture(oldest->second.texture);
        font->cache.erase(oldest);
        font->ages.pop_back();
    }
    font->ages.push_front(key);
    CachedText& cached = font->cache[key];
    cached = CachedText{texture, width, height, font->ages.begin()};
    return &cached;
}

} // namespace

PlatformFont* videoCreateFont(const char* face, int height)
{
    if (!videoDeviceExists() || height <= 0)
        return nullptr;
    auto* font = new PlatformFont;
    font->face = face;
    font->height = height;
    if (platformConfig.video != VideoBackend::None) {
        font->file = matchFontFile(face);
        font->font = font->file.empty() ? nullptr : TTF_OpenFont(font->file.c_str(), height);
        if (!font->font) {
            std::fprintf(stderr, "kestrelon: no font for \"%s\": %s\n", face, TTF_GetError());
            delete font;
            return nullptr;
        }
        fitHeight(font->font, height);
    }
    return font;
}

void videoReleaseFont(PlatformFont* font)
{
    if (!font)
        return;
    dropCache(font);
    if (font->font)
        TTF_CloseFont(font->font);
    delete font;
}

void fontOnLostDevice(PlatformFont* font)
{
    if (font)
        dropCache(font);
}

void fontOnResetDevice(PlatformFont*) {}

void fontDrawText(PlatformFont* font, int x, int y, uint32_t argb, std::string_view text)
{
    if (!font || !font->font || !sdlRenderer() || text.empty())
        return;
    CachedText* cached = renderText(font, argb, text);
    if (!cached)
        return;
    sdlTargetBackBuffer();
    SDL_Rect to{x, y, cached->width, cached->height};
    SDL_RenderCopy(sdlRenderer(), cached->texture, nullptr, &to);
}
