// Fonts on SDL2_ttf, the face's file as the system finds it (fontFileFor).
// Every character the game can draw is rasterised once, in white, into an
// atlas per font; a text is drawn from it glyph by glyph, tinted, so a text
// never seen before (a new score) costs no rasterising.
#include "platform/video_service.h"
#include "platform/sdl/sdl_internal.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Where a character's picture is in its font's atlas, and how it sits on
// the line: drawn at the pen plus `left`, then the pen moves on by `advance`.
struct GlyphCell {
    SDL_Rect inAtlas{};   // empty when the font has no such character
    int left = 0;
    int advance = 0;
};

// The characters the game draws: printable ASCII. (All it ever draws is its
// own texts, numbers, and names, which the score file and the name entry
// keep to ASCII.)
constexpr int kFirstDrawable = 32;
constexpr int kDrawableCount = 95;
bool drawable(int code) { return code >= kFirstDrawable && code < kFirstDrawable + kDrawableCount; }

// White glyphs on a transparent atlas, where each one is, and how the font
// spaces its lines and its pairs of characters.
struct GlyphAtlas {
    std::array<GlyphCell, 256> glyphs{};
    SDL_Surface* pixels = nullptr;
    int lineSkip = 0;
    std::array<int16_t, kDrawableCount * kDrawableCount> kerning{};   // [first][second], from kFirstDrawable

    int kern(int first, int second) const
    {
        return drawable(first) && drawable(second)
                   ? kerning[(first - kFirstDrawable) * kDrawableCount + second - kFirstDrawable]
                   : 0;
    }
};

struct SdlFont {
    TTF_Font* font = nullptr;
    bool unusable = false;            // its characters could not be drawn (said once)
    GlyphAtlas atlas;                 // its pixels kept until they are in the texture
    SDL_Texture* texture = nullptr;   // made on first use, tinted when drawn
};

SdlFont* sdlFont(const PlatformFont* font) { return static_cast<SdlFont*>(font->native); }

// The point size whose line height comes closest to the wanted pixel height
// (the smallest such size, between half and one and a half times it). The
// line height grows in proportion to the size, so one measurement tells
// where to look, and only the sizes around that are tried. Returns the size.
int fitHeight(TTF_Font* font, int height)
{
    TTF_SetFontSize(font, height);
    const int measured = TTF_FontHeight(font);
    const int estimate = measured > 0 ? (height * height + measured / 2) / measured : height;
    int best = height, bestError = 1 << 30;
    for (int size = std::max(height / 2, estimate - 3); size <= std::min(height * 3 / 2, estimate + 3); ++size) {
        if (TTF_SetFontSize(font, size) != 0)
            continue;
        int error = std::abs(TTF_FontHeight(font) - height);
        if (error < bestError) {
            best = size;
            bestError = error;
        }
    }
    TTF_SetFontSize(font, best);
    return best;
}

// Every character the game can draw (other bytes draw as nothing) is
// rasterised once, in white, into one atlas per font; a text is then drawn
// glyph by glyph, tinted, so a text never seen before (a new score) costs
// no rasterising and no memory.
bool rasteriseAtlas(TTF_Font* font, GlyphAtlas& atlas)
{
    constexpr int kAtlasWidth = 1024;
    const SDL_Color white{255, 255, 255, 255};
    std::array<SDL_Surface*, 256> cells{};
    int x = 0, y = 0, rowHeight = 0;
    for (int code = 0; code < 256; ++code) {
        GlyphCell& glyph = atlas.glyphs[code];
        glyph = GlyphCell{};
        if (!drawable(code) || !TTF_GlyphIsProvided32(font, code))
            continue;
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (TTF_GlyphMetrics32(font, code, &minX, &maxX, &minY, &maxY, &advance) != 0)
            continue;
        glyph.advance = advance;
        // A glyph reaching left of its pen is rendered from its own left edge.
        glyph.left = minX < 0 ? minX : 0;
        SDL_Surface* cell = TTF_RenderGlyph32_Blended(font, code, white);
        if (!cell)
            continue;
        if (x + cell->w > kAtlasWidth) {
            x = 0;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        glyph.inAtlas = SDL_Rect{x, y, cell->w, cell->h};
        x += cell->w + 1;
        rowHeight = std::max(rowHeight, cell->h);
        cells[code] = cell;
    }
    atlas.pixels = SDL_CreateRGBSurfaceWithFormat(0, kAtlasWidth, y + rowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int code = 0; code < 256; ++code) {
        if (!cells[code])
            continue;
        if (atlas.pixels) {
            SDL_SetSurfaceBlendMode(cells[code], SDL_BLENDMODE_NONE);
            SDL_BlitSurface(cells[code], nullptr, atlas.pixels, &atlas.glyphs[code].inAtlas);
        }
        SDL_FreeSurface(cells[code]);
    }
    atlas.lineSkip = TTF_FontLineSkip(font);
    for (int first = 0; first < kDrawableCount; ++first)
        for (int second = 0; second < kDrawableCount; ++second) {
            const GlyphCell& a = atlas.glyphs[kFirstDrawable + first];
            const GlyphCell& b = atlas.glyphs[kFirstDrawable + second];
            atlas.kerning[first * kDrawableCount + second] = static_cast<int16_t>(
                a.advance > 0 && b.advance > 0
                    ? TTF_GetFontKerningSizeGlyphs32(font, kFirstDrawable + first, kFirstDrawable + second)
                    : 0);
        }
    return atlas.pixels != nullptr;
}

// The atlas's texture, rasterised when the font is first drawn (the credits'
// font need not hold up the first frame), its pixels then let go; after a
// renderer lost its textures the atlas is made anew.
SDL_Texture* atlasForDrawing(SdlFont* font)
{
    if (font->texture || font->unusable)
        return font->texture;
    if (!font->atlas.pixels && !rasteriseAtlas(font->font, font->atlas)) {
        std::fprintf(stderr, "kestrelon: cannot draw the characters of a font: %s\n", SDL_GetError());
        font->unusable = true;
        return nullptr;
    }
    font->texture = SDL_CreateTextureFromSurface(sdlRenderer(), font->atlas.pixels);
    SDL_FreeSurface(font->atlas.pixels);
    font->atlas.pixels = nullptr;
    if (font->texture)
        SDL_SetTextureBlendMode(font->texture, SDL_BLENDMODE_BLEND);
    return font->texture;
}

void dropAtlasTexture(SdlFont* font)
{
    if (font->texture)
        SDL_DestroyTexture(font->texture);
    font->texture = nullptr;
}
} // namespace

bool sdlFontsStart()
{
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "kestrelon: fonts could not start: %s\n", TTF_GetError());
        return false;
    }
    return true;
}

void sdlFontsStop()
{
    TTF_Quit();
    forgetFontFiles();
}

bool sdlOpenFont(PlatformFont* record)
{
    const char* face = record->face.c_str();
    const std::string file = fontFileFor(face);
    TTF_Font* opened = file.empty() ? nullptr : TTF_OpenFont(file.c_str(), record->height);
    if (!opened) {
        std::fprintf(stderr, "kestrelon: no font for \"%s\": %s\n", face, file.empty() ? "no font file for it" : TTF_GetError());
        return false;
    }
    fitHeight(opened, record->height);
    auto* font = new SdlFont;
    font->font = opened;
    record->native = font;
    return true;
}

void sdlReleaseFont(PlatformFont* record)
{
    SdlFont* font = sdlFont(record);
    if (!font)
        return;
    dropAtlasTexture(font);
    if (font->atlas.pixels)
        SDL_FreeSurface(font->atlas.pixels);
    TTF_CloseFont(font->font);
    delete font;
    record->native = nullptr;
}

void sdlFontLost(PlatformFont* record)
{
    if (SdlFont* font = sdlFont(record))
        dropAtlasTexture(font);
}

void sdlDrawText(PlatformFont* record, int x, int y, uint32_t argb, std::string_view text)
{
    SdlFont* font = sdlFont(record);
    SDL_Texture* atlas = font ? atlasForDrawing(font) : nullptr;
    if (!atlas)
        return;
    sdlTargetBackBuffer();
    SDL_SetTextureColorMod(atlas, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    SDL_SetTextureAlphaMod(atlas, argb >> 24);
    bool lineStart = true;
    int penX = x;
    unsigned char previous = 0;
    for (unsigned char code : text) {
        if (code == '\n') {
            y += font->atlas.lineSkip;
            lineStart = true;
            continue;
        }
        const GlyphCell& glyph = font->atlas.glyphs[code];
        if (lineStart) {
            // As a rendered line does, the first glyph starts right at x.
            penX = x - glyph.left;
            lineStart = false;
        } else if (glyph.advance > 0 && font->atlas.glyphs[previous].advance > 0) {
            penX += font->atlas.kern(previous, code);
        }
        previous = code;
        if (glyph.inAtlas.w > 0) {
            SDL_Rect to{penX + glyph.left, y, glyph.inAtlas.w, glyph.inAtlas.h};
            SDL_RenderCopy(sdlRenderer(), atlas, &glyph.inAtlas, &to);
        }
        penX += glyph.advance;
    }
}
