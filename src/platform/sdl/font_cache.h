// What the fonts keep in the player's cache folder ($XDG_CACHE_HOME/kestrelon)
// so that a start after the first asks fontconfig nothing and rasterises no
// glyph: the file fontconfig matched to each face, and each font's atlas.
#pragma once
#include <SDL.h>

#include <array>
#include <cstdint>
#include <string>

// Where a character's picture is in its font's atlas, and how it sits on
// the line: drawn at the pen plus `left`, then the pen moves on by `advance`.
struct GlyphCell {
    SDL_Rect inAtlas{};   // empty when the font has no such character
    int left = 0;
    int advance = 0;
};

// The characters the game draws: printable ASCII. (Its strings are in the
// Windows ANSI code page, but all it ever draws is its own texts, numbers,
// and names, which the score file and the name entry keep to ASCII.)
constexpr int kFirstDrawable = 32;
constexpr int kDrawableCount = 95;
inline bool drawable(int code) { return code >= kFirstDrawable && code < kFirstDrawable + kDrawableCount; }

// White glyphs on a transparent atlas, where each one is, and how the font
// spaces its lines and its pairs of characters.
struct GlyphAtlas {
    std::array<GlyphCell, 256> glyphs{};   // the Latin-1 characters
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

// Forgets what was read of the cache, so that the next question reads it again.
void resetFontCache();

// The font file fontconfig gives for `face`, kept from an earlier answer
// while fontconfig's configuration and fonts are unchanged. `askAgain`: the
// file kept could not be opened as a font.
std::string matchFontFile(const char* face, bool askAgain = false);

// The atlas kept for `face` at `height` from `fontFile`; false (and nothing
// allocated) when there is none, it does not read back whole, or it is
// stale: the font file, or a library that made it (SDL_ttf, FreeType,
// HarfBuzz), is not the same file any more.
bool readKeptAtlas(const char* face, int height, const std::string& fontFile, GlyphAtlas& atlas);

// Keeps a freshly made atlas, made by `libraryFiles` (see ttfLibraryFiles),
// when its pixels are what the reading makes of it again: white glyphs with
// their coverage in alpha, nothing between.
void keepAtlas(const char* face, int height, const std::string& fontFile, const std::string& libraryFiles,
               const GlyphAtlas& atlas);
