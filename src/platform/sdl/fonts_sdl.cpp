// Fonts on SDL2_ttf: the face comes from fontconfig's match; the characters
// are rasterised once into an atlas, kept for the next start, and texts are
// drawn from it. A start that finds every atlas kept loads neither SDL_ttf
// nor fontconfig.
#include "platform/backends.h"
#include "platform/sdl/font_cache.h"
#include "platform/sdl/libraries_on_demand.h"
#include "platform/sdl/sdl_internal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct SdlFont {
    std::string face;
    int height = 0;
    std::string file;
    TTF_Font* font = nullptr;         // opened only to rasterise
    GlyphAtlas atlas;                 // its pixels kept until they are in the texture
    SDL_Texture* texture = nullptr;   // made on first use, tinted when drawn
};

SdlFont* sdlFont(const PlatformFont* font) { return static_cast<SdlFont*>(font->native); }

bool ttfStarted = false;

const TtfLibrary* startedTtf()
{
    const TtfLibrary* ttf = ttfLibrary();
    if (ttf && !ttfStarted) {
        if (ttf->init() != 0) {
            std::fprintf(stderr, "kestrelon: fonts could not start: %s\n", SDL_GetError());
            return nullptr;
        }
        ttfStarted = true;
    }
    return ttf;
}

// The point size whose line height comes closest to the wanted pixel height
// (the smallest such size, between half and one and a half times it). The
// line height grows in proportion to the size, so one measurement tells
// where to look, and only the sizes around that are tried. Returns the size.
int fitHeight(const TtfLibrary& ttf, TTF_Font* font, int height)
{
    ttf.setFontSize(font, height);
    const int measured = ttf.fontHeight(font);
    const int estimate = measured > 0 ? (height * height + measured / 2) / measured : height;
    int best = height, bestError = 1 << 30;
    for (int size = std::max(height / 2, estimate - 3); size <= std::min(height * 3 / 2, estimate + 3); ++size) {
        if (ttf.setFontSize(font, size) != 0)
            continue;
        int error = std::abs(ttf.fontHeight(font) - height);
        if (error < bestError) {
            best = size;
            bestError = error;
        }
    }
    ttf.setFontSize(font, best);
    return best;
}

// The font file at the size that fits `height`, with SDL_ttf started.
TTF_Font* openFontFile(const std::string& file, int height)
{
    const TtfLibrary* ttf = startedTtf();
    TTF_Font* font = ttf && !file.empty() ? ttf->openFont(file.c_str(), height) : nullptr;
    if (font)
        fitHeight(*ttf, font, height);
    return font;
}

// Every character the game can draw (other bytes draw as nothing) is
// rasterised once, in white, into one atlas per font; a text is then drawn
// glyph by glyph, tinted, so a text never seen before (a new score) costs
// no rasterising and no memory.
bool rasteriseAtlas(const TtfLibrary& ttf, TTF_Font* font, GlyphAtlas& atlas)
{
    constexpr int kAtlasWidth = 1024;
    const SDL_Color white{255, 255, 255, 255};
    std::array<SDL_Surface*, 256> cells{};
    int x = 0, y = 0, rowHeight = 0;
    for (int code = 0; code < 256; ++code) {
        GlyphCell& glyph = atlas.glyphs[code];
        glyph = GlyphCell{};
        if (!drawable(code) || !ttf.glyphIsProvided(font, code))
            continue;
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (ttf.glyphMetrics(font, code, &minX, &maxX, &minY, &maxY, &advance) != 0)
            continue;
        glyph.advance = advance;
        // A glyph reaching left of its pen is rendered from its own left edge.
        glyph.left = minX < 0 ? minX : 0;
        SDL_Surface* cell = ttf.renderGlyphBlended(font, code, white);
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
    atlas.lineSkip = ttf.fontLineSkip(font);
    for (int first = 0; first < kDrawableCount; ++first)
        for (int second = 0; second < kDrawableCount; ++second) {
            const GlyphCell& a = atlas.glyphs[kFirstDrawable + first];
            const GlyphCell& b = atlas.glyphs[kFirstDrawable + second];
            atlas.kerning[first * kDrawableCount + second] = static_cast<int16_t>(
                a.advance > 0 && b.advance > 0
                    ? ttf.kerning(font, kFirstDrawable + first, kFirstDrawable + second)
                    : 0);
        }
    return atlas.pixels != nullptr;
}

// The atlas kept from an earlier start when it is still good (rasterising
// a font's characters is most of what its making costs); else rasterised
// and kept for the next start.
bool makeAtlas(SdlFont* font)
{
    if (readKeptAtlas(font->face.c_str(), font->height, font->file, font->atlas))
        return true;
    if (!font->font)
        font->font = openFontFile(font->file, font->height);
    const TtfLibrary* ttf = ttfLibrary();
    if (!font->font || !ttf || !rasteriseAtlas(*ttf, font->font, font->atlas))
        return false;
    keepAtlas(font->face.c_str(), font->height, font->file, ttfLibraryFiles(), font->atlas);
    return true;
}

// The atlas's texture, made from its pixels on first use, which are then let
// go; after a renderer lost its textures the atlas is made anew.
SDL_Texture* atlasForDrawing(SdlFont* font)
{
    if (!font->texture && (font->atlas.pixels || makeAtlas(font))) {
        font->texture = SDL_CreateTextureFromSurface(sdlRenderer(), font->atlas.pixels);
        SDL_FreeSurface(font->atlas.pixels);
        font->atlas.pixels = nullptr;
        if (font->texture)
            SDL_SetTextureBlendMode(font->texture, SDL_BLENDMODE_BLEND);
    }
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
    resetFontCache();
    return true;
}

void sdlFontsStop()
{
    if (ttfStarted)
        ttfLibrary()->quit();
    ttfStarted = false;
    if (fontconfigLibraryLoaded())
        fontconfigLibrary()->fini();   // fontconfig's caches, kept for the whole process otherwise
}

bool sdlOpenFont(PlatformFont* record)
{
    const char* face = record->face.c_str();
    auto* font = new SdlFont;
    font->face = record->face;
    font->height = record->height;
    font->file = matchFontFile(face);
    bool made = !font->file.empty() && makeAtlas(font);
    if (!made && !font->font) {
        // The file kept for the face could not be opened: fontconfig is asked again.
        font->file = matchFontFile(face, true);
        made = !font->file.empty() && makeAtlas(font);
    }
    if (!made) {
        if (font->font)
            std::fprintf(stderr, "kestrelon: cannot draw the characters of \"%s\": %s\n", face, SDL_GetError());
        else
            std::fprintf(stderr, "kestrelon: no font for \"%s\": %s\n", face, SDL_GetError());
        if (font->font)
            ttfLibrary()->closeFont(font->font);
        delete font;
        return false;
    }
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
    if (font->font)
        ttfLibrary()->closeFont(font->font);
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
