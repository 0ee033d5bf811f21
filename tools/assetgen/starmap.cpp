// The star map: one 1024 x 768 picture that wraps top to bottom (and side to
// side), cut into 64 x 64 tiles and stored in the atlas where the map's tile
// table looks for them.
#include "art.h"
#include "assetgen.h"
#include "draw.h"

#include <algorithm>

namespace assetgen {

namespace {

constexpr int W = kStarMapWidth, H = kStarMapHeight;

struct Layer {
    std::vector<float> r, g, b;
    Layer() : r(static_cast<size_t>(W) * H), g(r.size()), b(r.size()) {}
    void add(int x, int y, Rgb c, double k)
    {
        x = ((x % W) + W) % W;
        y = ((y % H) + H) % H;
        const size_t i = static_cast<size_t>(y) * W + x;
        r[i] += static_cast<float>(c.r * k);
        g[i] += static_cast<float>(c.g * k);
        b[i] += static_cast<float>(c.b * k);
    }
};

// A round Gaussian dab, wrapping at the picture's edges.
void dab(Layer& l, double sx, double sy, double sigma, Rgb c, double peak)
{
    const int rad = static_cast<int>(std::ceil(sigma * 3.2));
    const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
    const double inv = 1.0 / (2 * sigma * sigma);
    for (int dy = -rad; dy <= rad + 1; ++dy)
        for (int dx = -rad; dx <= rad + 1; ++dx) {
            const double ex = x0 + dx + 0.5 - sx, ey = y0 + dy + 0.5 - sy;
            const double w = std::exp(-(ex * ex + ey * ey) * inv);
            if (w > 0.002)
                l.add(x0 + dx, y0 + dy, c, peak * w);
        }
}

// Thin diffraction spikes for the brightest stars.
void spikes(Layer& l, double sx, double sy, double length, Rgb c, double peak)
{
    const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
    const int len = static_cast<int>(length);
    for (int d = -len; d <= len; ++d) {
        const double fall = std::exp(-std::abs(d) * 3.0 / length) * peak;
        for (int o = -1; o <= 1; ++o) {
            const double across = std::exp(-o * o * 1.6);
            l.add(x0 + d, y0 + o, c, fall * across);
            l.add(x0 + o, y0 + d, c, fall * across);
        }
    }
}

Rgb starColour(Random& rng)
{
    static const Rgb palette[] = {hex(0xBFD4FF), hex(0xDDE8FF), hex(0xFFFFFF), hex(0xFFF4E0), hex(0xFFE2B0), hex(0xFFC890)};
    static const double weight[] = {0.2, 0.22, 0.25, 0.16, 0.1, 0.07};
    double u = rng.uniform();
    for (int i = 0; i < 6; ++i) {
        if (u < weight[i])
            return palette[i];
        u -= weight[i];
    }
    return palette[2];
}

} // namespace

std::vector<uint32_t> starMapPicture()
{
    Layer sky;

    // Nebula at a quarter of the resolution (it is soft), then spread over
    // the full picture with wrapping bilinear filtering.
    constexpr int QW = W / 4, QH = H / 4;
    const TileNoise density(0x4EB01A, 4, 3), hue(0x70C0, 4, 3), warm(0x3A2F, 4, 3), dust(0xD057, 4, 3);
    std::vector<Rgb> neb(static_cast<size_t>(QW) * QH);
    std::vector<float> cloud(neb.size());
    for (int y = 0; y < QH; ++y)
        for (int x = 0; x < QW; ++x) {
            const double u = x / 64.0, v = y / 64.0;
            const double d = density.fbm(u, v, 6, 0.55);
            const double c = std::pow(smoothstep(-0.08, 0.55, d), 1.6);
            const double h = smoothstep(-0.35, 0.35, hue.fbm(u + 0.3, v, 4));
            const double w = smoothstep(0.15, 0.55, warm.fbm(u, v + 0.7, 4));
            const double lane = 1.0 - 0.65 * smoothstep(0.05, 0.45, dust.fbm(u, v, 5, 0.6));
            Rgb col = mix(hex(0x6A24A8), hex(0x1E5AA0), h);
            col = mix(col, hex(0xB03A6A), w * 0.7);
            const double k = c * lane * 0.30;
            neb[static_cast<size_t>(y) * QW + x] = scaled(col, k);
            cloud[static_cast<size_t>(y) * QW + x] = static_cast<float>(c * lane);
        }
    auto nebAt = [&](int x, int y) -> Rgb {
        const double fx = (x + 0.5) / 4.0 - 0.5, fy = (y + 0.5) / 4.0 - 0.5;
        const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
        const double tx = fx - ix, ty = fy - iy;
        auto q = [&](int i, int j) { return neb[static_cast<size_t>((j + QH) % QH) * QW + (i + QW) % QW]; };
        return mix(mix(q(ix, iy), q(ix + 1, iy), tx), mix(q(ix, iy + 1), q(ix + 1, iy + 1), tx), ty);
    };
    const Rgb deep = hex(0x03050E);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Rgb n = nebAt(x, y);
            sky.add(x, y, {deep.r + n.r, deep.g + n.g, deep.b + n.b}, 1.0);
        }

    Random rng(0x57A25);
    // Faint dust of distant stars, then fewer, brighter ones.
    for (int i = 0; i < 3200; ++i)
        dab(sky, rng.uniform() * W, rng.uniform() * H, rng.range(0.42, 0.6), starColour(rng), rng.range(0.06, 0.32));
    // More stars where the nebula glows.
    for (int i = 0; i < 900;) {
        const double x = rng.uniform() * W, y = rng.uniform() * H;
        const double c = cloud[static_cast<size_t>(static_cast<int>(y) / 4) * QW + static_cast<int>(x) / 4];
        if (rng.uniform() < c) {
            dab(sky, x, y, rng.range(0.45, 0.65), starColour(rng), rng.range(0.12, 0.45));
            ++i;
        }
    }
    for (int i = 0; i < 420; ++i)
        dab(sky, rng.uniform() * W, rng.uniform() * H, rng.range(0.6, 0.8), starColour(rng), rng.range(0.35, 0.85));
    for (int i = 0; i < 55; ++i) {
        const double x = rng.uniform() * W, y = rng.uniform() * H;
        const Rgb c = starColour(rng);
        dab(sky, x, y, 3.0, c, 0.06);
        dab(sky, x, y, rng.range(0.8, 1.0), c, rng.range(0.8, 1.3));
    }
    for (int i = 0; i < 9; ++i) {
        const double x = rng.uniform() * W, y = rng.uniform() * H;
        const Rgb c = starColour(rng);
        dab(sky, x, y, 6.0, c, 0.08);
        dab(sky, x, y, 2.2, c, 0.35);
        dab(sky, x, y, 1.0, hex(0xFFFFFF), 1.5);
        spikes(sky, x, y, rng.range(10, 18), c, 0.3);
    }

    // Soft highlight roll-off, dithered down to 8 bits; never quite black.
    std::vector<uint32_t> out(static_cast<size_t>(W) * H);
    Random dither(0xD1743);
    auto tone = [](double v) { return v < 0.8 ? v : 0.8 + 0.2 * (1.0 - std::exp(-(v - 0.8) / 0.2)); };
    auto quant = [&](double v, int floorValue) {
        const double d = (dither.uniform() - dither.uniform()) * 0.5;
        return static_cast<uint32_t>(std::clamp(static_cast<int>(std::lround(tone(v) * 255.0 + d)), floorValue, 255));
    };
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0xFF000000u | (quant(sky.r[i], 2) << 16) | (quant(sky.g[i], 3) << 8) | quant(sky.b[i], 8);
    return out;
}

std::vector<uint32_t> starMapAtlas(const std::vector<uint32_t>& picture)
{
    constexpr int cols = W / kStarTile, rows = H / kStarTile;
    std::vector<uint32_t> atlas(static_cast<size_t>(W) * (H + kStarTile), 0xFF000000u);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int t = r * cols + c + 1;
            const int ax = (t % cols) * kStarTile, ay = (t / cols) * kStarTile;
            for (int y = 0; y < kStarTile; ++y)
                std::copy_n(&picture[static_cast<size_t>(r * kStarTile + y) * W + c * kStarTile], kStarTile,
                            &atlas[static_cast<size_t>(ay + y) * W + ax]);
        }
    return atlas;
}

} // namespace assetgen
