// Drawing surfaces and the conversions from cairo's premultiplied pixels to
// the keyed pixels the game loads.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr uint32_t kKeyBlack = 0x000000;
inline constexpr uint32_t kKeyWhite = 0xFFFFFF;

// A cairo ARGB32 image surface with its context; pixels are premultiplied.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    // Premultiplied ARGB of one texel (flushes pending drawing first).
    uint32_t premultiplied(int x, int y);
    void setPremultiplied(int x, int y, uint32_t argb);
    // Direct access for per-texel rendering: flush before, markDirty after.
    uint32_t* row(int y);
    void markDirty() { cairo_surface_mark_dirty(surface_); }

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Straight-alpha ARGB texels, row after row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// For formats with alpha (PNG, TGA): fully transparent texels become the opaque
// key colour, opaque texels that happen to equal the key are nudged off it,
// partly transparent edges keep their alpha. Returns straight alpha.
Picture keyedWithAlpha(Canvas& canvas, uint32_t keyRgb);
// The same keying applied in place on the premultiplied pixels (for PNG).
void keyPremultiplied(Canvas& canvas, uint32_t keyRgb);
// For BMP (no alpha): texels below a small coverage become the key; the rest
// are composited onto black and kept off the key colour (never exact black
// for a black key, never exact white for a white key).
Picture flattenedForBmp(Canvas& canvas, uint32_t keyRgb);

// File encoders; all return the complete file bytes.
std::vector<uint8_t> encodePng(Canvas& canvas);
std::vector<uint8_t> encodeBmp24(const Picture& picture);
std::vector<uint8_t> encodeTga32(const Picture& picture);

// Writes to a temporary name in the same folder, then renames over `path`.
bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

} // namespace assetgen
