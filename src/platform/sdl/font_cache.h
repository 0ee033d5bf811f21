// What the fonts keep in the player's cache folder ($XDG_CACHE_HOME/kestrelon)
// so that a start after the first asks fontconfig nothing and rasterises no
// glyph: the file fontconfig matched to each face, and each font's atlas.
#pragma once
#include <SDL.h>

#include <array>
#include <string>

// Where a character's picture is in its font's atlas, and how it sits on
// the line: drawn at the pen plus `left`, then the pen moves on by `advance`.
struct GlyphCell {
    SDL_Rect inAtlas{};   // empty when the font has no such character
    int left = 0;
    int advance = 0;
};

// White glyphs on a transparent atlas, and where each one is.
struct GlyphAtlas {
    std::array<GlyphCell, 256> glyphs{};   // the Latin-1 characters
    SDL_Surface* pixels = nullptr;
};

// Forgets what was read of the cache, so that the next question reads it again.
void resetFontCache();

// The font file fontconfig gives for `face`, kept from an earlier answer
// while fontconfig's configuration and fonts are unchanged. `askAgain`: the
// file kept could not be opened as a font.
std::string matchFontFile(const char* face, bool askAgain = false);

// Everything an atlas depends on: the font file (and its size and time),
// the size asked for and the point size chosen, and the font libraries'
// versions. An atlas kept under another key is made again.
std::string atlasKey(const std::string& fontFile, int height, int pointSize);

// The atlas kept for `face` at `height` under `key`; false (and nothing
// allocated) when there is none, it is stale, or it does not read back whole.
bool readKeptAtlas(const char* face, int height, const std::string& key, GlyphAtlas& atlas);

// Keeps a freshly made atlas, when its pixels are what the reading makes
// of it again: white glyphs with their coverage in alpha, nothing between.
void keepAtlas(const char* face, int height, const std::string& key, const GlyphAtlas& atlas);
