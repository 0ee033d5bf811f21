#include "canvas.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace assetgen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

uint32_t Canvas::premultiplied(int x, int y)
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
}

void Canvas::setPremultiplied(int x, int y, uint32_t argb)
{
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride)[x] = argb;
    cairo_surface_mark_dirty(surface_);
}

uint32_t* Canvas::row(int y)
{
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    return reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_));
}

namespace {

// Visits every texel as premultiplied ARGB.
template <typename F>
void forEachTexel(Canvas& canvas, F&& f)
{
    cairo_surface_flush(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < canvas.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < canvas.width(); ++x)
            f(x, y, row[x]);
    }
    cairo_surface_mark_dirty(canvas.surface());
}

uint32_t unpremultiply(uint32_t p)
{
    const uint32_t a = p >> 24;
    if (a == 0)
        return 0;
    if (a == 255)
        return p;
    auto ch = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (ch((p >> 16) & 255) << 16) | (ch((p >> 8) & 255) << 8) | ch(p & 255);
}

// An opaque texel that equals the key would vanish in game: move it one step off.
uint32_t offKey(uint32_t rgb, uint32_t keyRgb)
{
    if (rgb != keyRgb)
        return rgb;
    return keyRgb == kKeyWhite ? 0xFEFEFE : 0x010101;
}

void put16(std::vector<uint8_t>& b, uint32_t v) { b.push_back(v & 255); b.push_back((v >> 8) & 255); }
void put32(std::vector<uint8_t>& b, uint32_t v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }

} // namespace

void keyPremultiplied(Canvas& canvas, uint32_t keyRgb)
{
    forEachTexel(canvas, [keyRgb](int, int, uint32_t& p) {
        const uint32_t a = p >> 24;
        if (a == 0)
            p = 0xFF000000u | keyRgb;
        else if (a == 255)
            p = 0xFF000000u | offKey(p & 0xFFFFFF, keyRgb);
    });
}

Picture keyedWithAlpha(Canvas& canvas, uint32_t keyRgb)
{
    Picture out{canvas.width(), canvas.height(), {}};
    out.argb.reserve(static_cast<size_t>(out.width) * out.height);
    forEachTexel(canvas, [&](int, int, uint32_t& p) {
        uint32_t s = unpremultiply(p);
        const uint32_t a = s >> 24;
        if (a == 0)
            s = 0xFF000000u | keyRgb;
        else if (a == 255)
            s = 0xFF000000u | offKey(s & 0xFFFFFF, keyRgb);
        out.argb.push_back(s);
    });
    return out;
}

Picture flattenedForBmp(Canvas& canvas, uint32_t keyRgb)
{
    // Faint edge texels would show as a dark rim over the background: drop them.
    constexpr uint32_t kMinCoverage = 40;
    Picture out{canvas.width(), canvas.height(), {}};
    out.argb.reserve(static_cast<size_t>(out.width) * out.height);
    forEachTexel(canvas, [&](int, int, uint32_t& p) {
        const uint32_t a = p >> 24;
        if (a < kMinCoverage) {
            out.argb.push_back(0xFF000000u | keyRgb);
            return;
        }
        // Premultiplied colour is the colour composited onto black.
        uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        if (keyRgb == kKeyBlack) {
            r = std::max<uint32_t>(r, 1); g = std::max<uint32_t>(g, 1); b = std::max<uint32_t>(b, 1);
        } else {
            r = std::min<uint32_t>(r, 254); g = std::min<uint32_t>(g, 254); b = std::min<uint32_t>(b, 254);
        }
        out.argb.push_back(0xFF000000u | (r << 16) | (g << 8) | b);
    });
    return out;
}

// cairo's own PNG writer (compressed, the colours un-premultiplied). The
// game's three PNGs decode in about 2 ms more than stored ones would, a tenth
// of their size.
std::vector<uint8_t> encodePng(Canvas& canvas)
{
    std::vector<uint8_t> png;
    cairo_surface_write_to_png_stream(
        canvas.surface(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto& out = *static_cast<std::vector<uint8_t>*>(closure);
            out.insert(out.end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    return png;
}

std::vector<uint8_t> encodeBmp24(const Picture& picture)
{
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * picture.height;
    std::vector<uint8_t> b;
    b.reserve(54 + pixelBytes);
    // BITMAPFILEHEADER
    b.push_back('B'); b.push_back('M');
    put32(b, 54 + pixelBytes);
    put32(b, 0);
    put32(b, 54);
    // BITMAPINFOHEADER: bottom-up, 24 bits, BI_RGB
    put32(b, 40);
    put32(b, static_cast<uint32_t>(picture.width));
    put32(b, static_cast<uint32_t>(picture.height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, pixelBytes);
    put32(b, 2835); // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            b.push_back(p & 255);
            b.push_back((p >> 8) & 255);
            b.push_back((p >> 16) & 255);
        }
        for (uint32_t pad = picture.width * 3; pad < rowBytes; ++pad)
            b.push_back(0);
    }
    return b;
}

std::vector<uint8_t> encodeTga32(const Picture& picture)
{
    std::vector<uint8_t> b;
    b.reserve(18 + picture.argb.size() * 4);
    b.push_back(0);  // no image id
    b.push_back(0);  // no colour map
    b.push_back(2);  // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        b.push_back(0); // colour map fields (unused)
    put16(b, 0);     // x origin
    put16(b, 0);     // y origin
    put16(b, static_cast<uint32_t>(picture.width));
    put16(b, static_cast<uint32_t>(picture.height));
    b.push_back(32);
    b.push_back(0x28); // 8 alpha bits, first row is the top
    for (uint32_t p : picture.argb) {
        b.push_back(p & 255);
        b.push_back((p >> 8) & 255);
        b.push_back((p >> 16) & 255);
        b.push_back(p >> 24);
    }
    return b;
}

bool writeFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string temp = folder + "." + name + "." + std::to_string(getpid()) + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temp + " to " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace assetgen
