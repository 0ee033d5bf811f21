#include "draw.h"

#include <algorithm>

namespace assetgen {

Rgb mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaled(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }

void setColour(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

void linearSource(cairo_t* cr, double x0, double y0, double x1, double y1,
                  std::initializer_list<std::pair<double, Rgb>> stops)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const auto& s : stops)
        addStop(p, s.first, s.second);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void radialSource(cairo_t* cr, double cx, double cy, double r0, double r1,
                  std::initializer_list<std::pair<double, Rgb>> stops, double fx, double fy)
{
    if (std::isnan(fx)) fx = cx;
    if (std::isnan(fy)) fy = cy;
    cairo_pattern_t* p = cairo_pattern_create_radial(fx, fy, r0, cx, cy, r1);
    for (const auto& s : stops)
        addStop(p, s.first, s.second);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void glow(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    addStop(p, 0.0, c, alpha);
    addStop(p, 0.35, c, alpha * 0.45);
    addStop(p, 1.0, c, 0.0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

TextBox textPath(cairo_t* cr, const std::string& text, double cx, double cy, double maxWidth,
                 double maxHeight, double spacing, double slant)
{
    // Glyph outlines come from fontconfig's match for the bold sans face; no
    // hinting so the shapes do not depend on the size we ask for.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    const double size = 100.0;
    cairo_set_font_size(cr, size);

    cairo_new_path(cr);
    double pen = 0.0;
    for (char ch : text) {
        const char glyph[2] = {ch, 0};
        cairo_text_extents_t ext;
        cairo_text_extents(cr, glyph, &ext);
        cairo_move_to(cr, pen, 0);
        cairo_text_path(cr, glyph);
        pen += ext.x_advance + spacing * size;
    }
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_restore(cr);

    // Slant, then measure the ink.
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
        for (int j = 1; j < path->data[i].header.length; ++j) {
            auto& pt = path->data[i + j].point;
            pt.x -= slant * pt.y;
            x0 = std::min(x0, pt.x); x1 = std::max(x1, pt.x);
            y0 = std::min(y0, pt.y); y1 = std::max(y1, pt.y);
        }
    }
    const double s = std::min(maxWidth / (x1 - x0), maxHeight / (y1 - y0));
    const double ox = cx - (x0 + x1) * 0.5 * s;
    const double oy = cy - (y0 + y1) * 0.5 * s;
    for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
        for (int j = 1; j < path->data[i].header.length; ++j) {
            auto& pt = path->data[i + j].point;
            pt.x = ox + pt.x * s;
            pt.y = oy + pt.y * s;
        }
    }
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
    return {ox + x0 * s, oy + y0 * s, ox + x1 * s, oy + y1 * s};
}

void strokeKeep(cairo_t* cr, Rgb c, double width, double alpha)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width);
    setColour(cr, c, alpha);
    cairo_stroke_preserve(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void sparkle(cairo_t* cr, double x, double y, double size, Rgb c, double alpha)
{
    const double w = size * 0.16;
    cairo_new_path(cr);
    cairo_move_to(cr, x, y - size);
    cairo_curve_to(cr, x + w * 0.3, y - w, x + w, y - w * 0.3, x + size, y);
    cairo_curve_to(cr, x + w, y + w * 0.3, x + w * 0.3, y + w, x, y + size);
    cairo_curve_to(cr, x - w * 0.3, y + w, x - w, y + w * 0.3, x - size, y);
    cairo_curve_to(cr, x - w, y - w * 0.3, x - w * 0.3, y - w, x, y - size);
    cairo_close_path(cr);
    setColour(cr, c, alpha);
    cairo_fill(cr);
}

namespace {

uint32_t hash3(int x, int y, int z, uint64_t seed)
{
    uint64_t h = seed ^ (static_cast<uint64_t>(static_cast<uint32_t>(x)) * 0x9E3779B97F4A7C15ull);
    h ^= static_cast<uint64_t>(static_cast<uint32_t>(y)) * 0xC2B2AE3D27D4EB4Full;
    h ^= static_cast<uint64_t>(static_cast<uint32_t>(z)) * 0x165667B19E3779F9ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<uint32_t>(h);
}

inline double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
inline double toUnit(uint32_t h) { return (h & 0xFFFFFF) / 8388607.5 - 1.0; }

} // namespace

double TileNoise::sample(double x, double y, int px, int py, int octave) const
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = fade(x - fx), ty = fade(y - fy);
    auto v = [&](int i, int j) {
        return toUnit(hash3(((i % px) + px) % px, ((j % py) + py) % py, octave, seed_));
    };
    const double a = v(ix, iy), b = v(ix + 1, iy), c = v(ix, iy + 1), d = v(ix + 1, iy + 1);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double TileNoise::fbm(double x, double y, int octaves, double gain) const
{
    double sum = 0, amp = 1, norm = 0;
    int px = px_, py = py_;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * sample(x, y, px, py, o);
        norm += amp;
        amp *= gain;
        x *= 2; y *= 2; px *= 2; py *= 2;
    }
    return sum / norm;
}

Noise3::Noise3(uint64_t seed) : seed_(seed) {}


double Noise3::at(double x, double y, double z) const
{
    const double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    const double tx = fade(x - fx), ty = fade(y - fy), tz = fade(z - fz);
    auto v = [&](int dx, int dy, int dz) { return toUnit(hash3(ix + dx, iy + dy, iz + dz, seed_)); };
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    const double x00 = lerp(v(0, 0, 0), v(1, 0, 0), tx), x10 = lerp(v(0, 1, 0), v(1, 1, 0), tx);
    const double x01 = lerp(v(0, 0, 1), v(1, 0, 1), tx), x11 = lerp(v(0, 1, 1), v(1, 1, 1), tx);
    return lerp(lerp(x00, x10, ty), lerp(x01, x11, ty), tz);
}

double Noise3::fbm(double x, double y, double z, int octaves, double gain) const
{
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * at(x, y, z);
        norm += amp;
        amp *= gain;
        x = x * 2.03 + 17.1; y = y * 2.03 - 5.3; z = z * 2.03 + 9.7;
    }
    return sum / norm;
}

} // namespace assetgen
