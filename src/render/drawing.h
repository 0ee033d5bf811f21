// All drawing: a frame of a sprite sheet with scale and rotation, a text in
// one of the fonts, the visible window of the composed star map, and the
// direct unscaled draw the ammunition column and health bar use. Sprites and
// texts go inside the frame's one sprite batch; the map copy comes before it.
#pragma once
#include "platform/video.h"

#include <cstdint>
#include <string_view>

constexpr uint32_t kTextColour = 0xFF72745F;
constexpr uint32_t kHighlightColour = 0xFFFFFF00;

// Frame `frame` of a sheet of `framesPerRow` frames of width x height texels,
// scaled about its top-left corner, turned by `rotation` radians (clockwise)
// about the scaled frame's centre, its top-left corner at (x, y).
void drawSprite(PlatformTexture* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                float rotation, float scale);
// Readies what drawing such a frame needs (a scaled or turned copy, the
// renderer's own bookkeeping), so that none of it is made in the middle of
// a frame. It lands in the back buffer, under whatever the next frame draws.
void prepareSprite(PlatformTexture* texture, int width, int height, int frame, int framesPerRow, float rotation,
                   float scale);

// The game's logo (900 x 300 texels) with its top-left corner at (x, y).
void drawLogo(int x, int y, float scale);

void drawText(PlatformFont* font, int x, int y, uint32_t colour, std::string_view text);

// Copies the 1024 x 768 window of mapBuffer at (mapX mod 64, mapY mod 64):
// the composed star map scrolled to (mapX, mapY).
void drawMapBackground(int mapX, int mapY);

// The top-left width x height texels of a texture at (x, y), unscaled, in
// plain screen coordinates (the batch transform is the identity between draws).
void drawSpriteDirect(PlatformTexture* texture, int width, int height, int x, int y);

// Degrees to radians as the game does it: in double precision, then to float.
float degreesToRadians(float degrees);
