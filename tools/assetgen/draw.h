// Small drawing helpers shared by the pictures: colours, gradients, outlined
// fills, text paths, a seeded random source and periodic noise.
#pragma once
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

// 0xRRGGBB to components in 0..1.
constexpr Rgb hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}
Rgb mix(Rgb a, Rgb b, double t);
Rgb scaled(Rgb c, double k);

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// Gradient helpers: the caller owns nothing, the pattern is set as source.
void linearSource(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<std::pair<double, Rgb>> stops);
void radialSource(cairo_t* cr, double cx, double cy, double r0, double r1,
                  std::initializer_list<std::pair<double, Rgb>> stops, double fx = NAN, double fy = NAN);
// Radial glow fading to transparent.
void glow(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha);

// Builds the current path as `text` centred on (cx, baseline) in the game's
// bold face, scaled so the ink fits in maxWidth x maxHeight (cap height),
// with extra letter spacing and an italic slant. Returns the ink extents.
struct TextBox {
    double x0, y0, x1, y1;
};
TextBox textPath(cairo_t* cr, const std::string& text, double cx, double cy, double maxWidth,
                 double maxHeight, double spacing = 0.0, double slant = 0.0);

// Strokes the current path (kept) with a round-joined line.
void strokeKeep(cairo_t* cr, Rgb c, double width, double alpha = 1.0);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A four-pointed glint.
void sparkle(cairo_t* cr, double x, double y, double size, Rgb c, double alpha = 1.0);

// Deterministic random numbers (SplitMix64).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return (next() >> 11) * (1.0 / 9007199254740992.0); }           // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double signedUnit() { return uniform() * 2.0 - 1.0; }                             // [-1, 1)
    int below(int n) { return static_cast<int>(uniform() * n); }

private:
    uint64_t state_;
};

// Value noise on a lattice that repeats every periodX x periodY cells.
class TileNoise {
public:
    TileNoise(uint64_t seed, int periodX, int periodY) : px_(periodX), py_(periodY), seed_(seed) {}
    double at(double x, double y) const { return sample(x, y, px_, py_, 0); }  // about -1..1
    // Fractal sum of octaves; the period doubles with each octave so it still tiles.
    double fbm(double x, double y, int octaves, double gain = 0.5) const;

private:
    int px_, py_;
    uint64_t seed_;
    double sample(double x, double y, int px, int py, int octave) const;
};

// Smooth 3-D value noise (not periodic), about -1..1.
class Noise3 {
public:
    explicit Noise3(uint64_t seed);
    double at(double x, double y, double z) const;
    double fbm(double x, double y, double z, int octaves, double gain = 0.5) const;

private:
    uint64_t seed_;
};

inline double smoothstep(double e0, double e1, double x)
{
    double t = std::fmin(1.0, std::fmax(0.0, (x - e0) / (e1 - e0)));
    return t * t * (3.0 - 2.0 * t);
}
inline double clamp01(double x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }

} // namespace assetgen
