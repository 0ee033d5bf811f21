// The asteroid: a lumpy, cratered rock ray-marched in 64 steps of one turn,
// lit from the upper left so its craters read as it tumbles.
#include "art.h"
#include "draw.h"

#include <algorithm>
#include <array>

namespace assetgen {

namespace {

struct Vec {
    double x, y, z;
    Vec operator+(Vec o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(Vec o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double k) const { return {x * k, y * k, z * k}; }
    double dot(Vec o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(dot(*this)); }
    Vec unit() const { return *this * (1.0 / length()); }
    Vec cross(Vec o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
};

struct Crater {
    Vec centre;
    double radius;  // angular, radians
    double depth;
    double reach;   // cosine of the angle beyond which it has no effect
};

// The rock's surface as a function of direction: radius and albedo.
class RockShape {
public:
    RockShape() : noise_(0xA57E401D)
    {
        Random rng(0xC4A7E45);
        for (int i = 0; i < 34; ++i) {
            Vec d{rng.signedUnit(), rng.signedUnit(), rng.signedUnit()};
            if (d.length() < 0.1) { --i; continue; }
            const double big = i < 6 ? 1.0 : 0.0;
            const double r = big ? rng.range(0.32, 0.5) : rng.range(0.09, 0.24);
            craters_.push_back({d.unit(), r, r * (big ? 0.16 : 0.22), std::cos(r * 1.5)});
        }
    }

    // Radius around 1 and albedo around 0.5 for the unit direction d.
    void at(Vec d, double& radius, double& albedo) const
    {
        const double lumps = noise_.fbm(d.x * 1.3 + 3, d.y * 1.3, d.z * 1.3, 3, 0.45);
        const double grit = noise_.fbm(d.x * 6 + 11, d.y * 6, d.z * 6 - 4, 3, 0.5);
        radius = 1.0 + 0.22 * lumps + 0.03 * grit;
        albedo = 0.6 + 0.3 * noise_.fbm(d.x * 3 - 7, d.y * 3 + 2, d.z * 3, 3) + 0.15 * grit;
        for (const Crater& c : craters_) {
            const double cosA = d.dot(c.centre);
            if (cosA < c.reach)
                continue;
            const double x = std::acos(std::min(1.0, cosA)) / c.radius;
            // Bowl below the surface, raised rim around it.
            const double bowl = x < 1.0 ? (x * x - 1.0) : 0.0;
            const double rim = std::exp(-(x - 1.0) * (x - 1.0) / 0.06);
            radius += c.depth * (bowl + 0.35 * rim);
            albedo += x < 1.0 ? -0.2 * (1.0 - x * x) : 0.16 * rim;
        }
    }

private:
    Noise3 noise_;
    std::vector<Crater> craters_;
};

// The shape baked on a grid around the unit sphere so the ray march reads it
// with trilinear look-ups.
class RockGrid {
public:
    static constexpr int N = 72;
    static constexpr double kExtent = 1.35;

    explicit RockGrid(const RockShape& shape) : data_(static_cast<size_t>(N) * N * N * 2, 0.0f)
    {
        for (int k = 0; k < N; ++k)
            for (int j = 0; j < N; ++j)
                for (int i = 0; i < N; ++i) {
                    const Vec p = pos(i, j, k);
                    const double len = p.length();
                    if (len < 0.45 || len > kExtent + 0.1)
                        continue;
                    double r, a;
                    shape.at(p * (1.0 / len), r, a);
                    const size_t idx = index(i, j, k);
                    data_[idx] = static_cast<float>(r);
                    maxRadius_ = std::max(maxRadius_, r + 0.02);
                    data_[idx + 1] = static_cast<float>(a);
                }
    }

    // Signed distance-like value: |p| - radius(direction); and the albedo.
    double field(Vec p, double* albedo = nullptr) const
    {
        const double s = (N - 1) / (2 * kExtent);
        const double gx = (p.x + kExtent) * s, gy = (p.y + kExtent) * s, gz = (p.z + kExtent) * s;
        const int ix = std::clamp(static_cast<int>(gx), 0, N - 2);
        const int iy = std::clamp(static_cast<int>(gy), 0, N - 2);
        const int iz = std::clamp(static_cast<int>(gz), 0, N - 2);
        const double tx = gx - ix, ty = gy - iy, tz = gz - iz;
        double r = 0, a = 0;
        for (int c = 0; c < 8; ++c) {
            const int dx = c & 1, dy = (c >> 1) & 1, dz = c >> 2;
            const double w = (dx ? tx : 1 - tx) * (dy ? ty : 1 - ty) * (dz ? tz : 1 - tz);
            const size_t idx = index(ix + dx, iy + dy, iz + dz);
            r += w * data_[idx];
            a += w * data_[idx + 1];
        }
        if (albedo)
            *albedo = a;
        return p.length() - r;
    }

    // The largest radius the rock reaches: rays outside it miss.
    double maxRadius() const { return maxRadius_; }

private:
    std::vector<float> data_;
    double maxRadius_ = 0.0;
    static Vec pos(int i, int j, int k)
    {
        const double s = 2 * kExtent / (N - 1);
        return {i * s - kExtent, j * s - kExtent, k * s - kExtent};
    }
    static size_t index(int i, int j, int k) { return ((static_cast<size_t>(k) * N + j) * N + i) * 2; }
};

struct Rotation {
    double m[3][3];
    Vec apply(Vec v) const
    {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    Vec inverse(Vec v) const
    {
        return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z, m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
                m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z};
    }
    static Rotation about(Vec axis, double angle)
    {
        const Vec a = axis.unit();
        const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
        return {{{t * a.x * a.x + c, t * a.x * a.y - s * a.z, t * a.x * a.z + s * a.y},
                 {t * a.x * a.y + s * a.z, t * a.y * a.y + c, t * a.y * a.z - s * a.x},
                 {t * a.x * a.z - s * a.y, t * a.y * a.z + s * a.x, t * a.z * a.z + c}}};
    }
};

struct Hit {
    bool hit = false;
    Vec colour{0, 0, 0};
};

// Screen space: x right, y down, z towards the viewer.
Hit trace(const RockGrid& grid, const Noise3& grit, const Rotation& rot, double sx, double sy)
{
    const double bound = grid.maxRadius();
    const double d2 = sx * sx + sy * sy;
    if (d2 >= bound * bound)
        return {};
    double z = std::sqrt(bound * bound - d2);
    const double zEnd = -z;
    auto at = [&](double depth) { return rot.inverse(Vec{sx, sy, depth}); };
    double f = grid.field(at(z));
    // March in steps the field allows, then bisect the step that went in.
    bool found = f < 0;
    while (!found) {
        const double next = z - std::max(0.02, f * 0.9);
        if (next < zEnd)
            return {};
        const double fn = grid.field(at(next));
        if (fn < 0) {
            double outside = z, in = next;
            for (int i = 0; i < 5; ++i) {
                const double mid = 0.5 * (outside + in);
                (grid.field(at(mid)) < 0 ? in : outside) = mid;
            }
            z = outside;
            found = true;
        } else {
            z = next;
            f = fn;
        }
    }
    const Vec q = at(z);

    double albedo = 0;
    grid.field(q, &albedo);
    // Normal from the field's gradient (tetrahedral differences).
    const double e = 0.02;
    const Vec k1{1, -1, -1}, k2{-1, -1, 1}, k3{-1, 1, -1}, k4{1, 1, 1};
    const Vec n = (k1 * grid.field(q + k1 * e) + k2 * grid.field(q + k2 * e) + k3 * grid.field(q + k3 * e) +
                   k4 * grid.field(q + k4 * e)).unit();
    const Vec nw = rot.apply(n);

    const Vec light = Vec{-0.78, -0.42, 0.46}.unit();
    const double lambert = nw.dot(light);
    // Slightly wrapped diffuse so the terminator is soft, not a hard cut.
    const double diffuse = std::max(0.0, (lambert + 0.12) / 1.12);
    // A faint cool bounce from the lower right keeps the dark side readable.
    const double bounce = std::max(0.0, nw.dot(Vec{0.75, 0.45, 0.3}.unit())) * 0.16;
    const Vec h = (light + Vec{0, 0, 1}).unit();
    const double shine = std::pow(std::max(0.0, nw.dot(h)), 24.0) * 0.16;

    // Fine grit straight from noise: finer than the baked grid can hold.
    albedo *= 1.0 + 0.22 * grit.fbm(q.x * 9.0, q.y * 9.0, q.z * 9.0, 2);
    albedo = std::clamp(albedo, 0.12, 1.0);
    const Vec rock = Vec{0.70, 0.60, 0.50} * albedo;
    const Vec lit = rock * (diffuse * 1.6 + 0.04) + Vec{0.30, 0.40, 0.62} * (bounce * albedo) +
                    Vec{1.0, 0.94, 0.85} * (shine * diffuse);
    return {true, lit};
}

} // namespace

void drawAsteroids(Canvas& canvas)
{
    const RockShape shape;
    const RockGrid grid(shape);
    const Noise3 grit(0x6217);
    const Vec axis{0.3, 1.0, 0.45};
    const double scale = 1.0 / 23.0;  // rock radius 1 is 23 texels
    constexpr int F = kRockFrame;
    auto screen = [scale](double t) { return (t - F / 2.0) * scale; };
    for (int frame = 0; frame < kRockFrames; ++frame) {
        const Rotation rot = Rotation::about(axis, 2 * kPi * frame / kRockFrames);
        const int ox = (frame % kRockColumns) * F, oy = (frame / kRockColumns) * F;
        // One probe per texel centre (with a ring around the frame) finds the
        // silhouette; texels on it get 3 x 3 samples, the inside just the probe.
        std::vector<char> inside((F + 2) * (F + 2));
        for (int y = -1; y <= F; ++y)
            for (int x = -1; x <= F; ++x)
                inside[(y + 1) * (F + 2) + x + 1] = trace(grid, grit, rot, screen(x + 0.5), screen(y + 0.5)).hit;
        auto probe = [&](int x, int y) { return inside[(y + 1) * (F + 2) + x + 1]; };
        for (int y = 0; y < F; ++y) {
            uint32_t* row = canvas.row(oy + y);
            for (int x = 0; x < F; ++x) {
                const bool centre = probe(x, y);
                const bool mixed = probe(x - 1, y) != centre || probe(x + 1, y) != centre ||
                                   probe(x, y - 1) != centre || probe(x, y + 1) != centre;
                if (!mixed && !centre)
                    continue;
                const int sub = mixed ? 3 : 1;
                Vec sum{0, 0, 0};
                int hits = 0;
                for (int j = 0; j < sub; ++j)
                    for (int i = 0; i < sub; ++i) {
                        const Hit h = trace(grid, grit, rot, screen(x + (i + 0.5) / sub), screen(y + (j + 0.5) / sub));
                        if (h.hit) {
                            sum = sum + h.colour;
                            ++hits;
                        }
                    }
                if (!hits)
                    continue;
                const double n = sub * sub, a = hits / n;
                auto ch = [&](double v) {
                    // Premultiplied: the average over all samples, misses being black.
                    return static_cast<uint32_t>(std::lround(std::clamp(v / n, 0.0, a) * 255.0));
                };
                row[ox + x] = (static_cast<uint32_t>(std::lround(a * 255)) << 24) | (ch(sum.x) << 16) | (ch(sum.y) << 8) | ch(sum.z);
            }
        }
    }
    canvas.markDirty();
}

} // namespace assetgen
