// Sprite, text and map drawing through the one sprite batch.
#include "render/drawing.h"

#include "platform/call_log.h"
#include "render/assets.h"
#include "render/device.h"

namespace {
constexpr int kTileSize = 64;
}

float degreesToRadians(float degrees)
{
    return static_cast<float>(static_cast<double>(degrees) * 0.017453292519444445);
}

namespace {

// Frame `frame` of a sheet with `framesPerRow` frames of width x height,
// scaled about the top left corner and turned about the centre, at (x, y).
PixelRect setSpriteTransform(int x, int y, int width, int height, int frame, int framesPerRow, float rotation,
                             float scale)
{
    int column = frame % framesPerRow;
    int row = frame / framesPerRow;
    SpriteTransform transform;
    transform.scale = scale;
    transform.rotation = rotation;
    transform.centreX = static_cast<float>(width) * scale * 0.5f;
    transform.centreY = static_cast<float>(height) * scale * 0.5f;
    transform.x = static_cast<float>(x);
    transform.y = static_cast<float>(y);
    spriteSetTransform(transform);
    return PixelRect{column * width, row * height, column * width + width, row * height + height};
}

} // namespace

void drawSprite(PlatformTexture* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                float rotation, float scale)
{
    logSpriteDraw(texture, x, y, width, height, frame, framesPerRow, rotation, scale);
    PixelRect source = setSpriteTransform(x, y, width, height, frame, framesPerRow, rotation, scale);
    spriteDraw(texture, source, 0.0f, 0.0f, 0xFFFFFFFF);
    spriteSetTransform(SpriteTransform{});
}

void prepareSprite(PlatformTexture* texture, int width, int height, int frame, int framesPerRow, float rotation,
                   float scale)
{
    PixelRect source = setSpriteTransform(0, 0, width, height, frame, framesPerRow, rotation, scale);
    spritePrepare(texture, source);
    spriteSetTransform(SpriteTransform{});
}

void drawLogo(int x, int y, float scale)
{
    drawSprite(gamelogoTexture, x, y, 900, 300, 0, 1, 0.0f, scale);
}

void drawText(PlatformFont* font, int x, int y, uint32_t colour, std::string_view text)
{
    logTextDraw(font, x, y, colour, text);
    spriteSetTransform(SpriteTransform{});
    fontDrawText(font, x, y, colour, text);
}

void drawMapBackground(int mapX, int mapY)
{
    int h = mapX % kTileSize;
    int v = mapY % kTileSize;
    logMapDraw(h, v);
    videoCopySurface(mapBuffer, PixelRect{h, v, h + kBackBufferWidth, v + kBackBufferHeight}, backBuffer,
                     PixelRect{0, 0, kBackBufferWidth, kBackBufferHeight});
}

void drawSpriteDirect(PlatformTexture* texture, int width, int height, int x, int y)
{
    logRawDraw(texture, x, y);
    spriteDraw(texture, PixelRect{0, 0, width, height}, static_cast<float>(x), static_cast<float>(y), 0xFFFFFFFF);
}
