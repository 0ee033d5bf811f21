// The records behind the opaque video handles.
#pragma once
#include "platform/image.h"
#include "platform/video.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <string>

struct PlatformTexture {
    std::string name;
    KeyedImage image;               // kept so the texture survives a renderer reset
    SDL_Texture* texture = nullptr; // made on first use after a (re)start
};

struct PlatformSurface {
    int width = 0;
    int height = 0;
    bool backBuffer = false;        // the device's own back buffer
    bool target = false;            // an off-screen surface that can be drawn into
    KeyedImage image;               // a plain image surface's pixels
    SDL_Texture* texture = nullptr;
};

// Where a character's picture is in its font's atlas, and how it sits on
// the line: drawn at the pen plus `left`, then the pen moves on by `advance`.
struct GlyphCell {
    SDL_Rect inAtlas{};   // empty when the font has no such character
    int left = 0;
    int advance = 0;
};

struct PlatformFont {
    std::string face;
    int height = 0;
    std::string file;
    TTF_Font* font = nullptr;
    int lineSkip = 0;
    std::array<GlyphCell, 256> glyphs{};   // the Latin-1 characters
    SDL_Surface* atlasPixels = nullptr;    // white glyphs, kept for a renderer reset
    SDL_Texture* atlas = nullptr;          // made on first use, tinted when drawn
};
