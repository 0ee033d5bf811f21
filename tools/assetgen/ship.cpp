// The player's fighter, seen from above, nose up, with its engine-glow cycle.
#include "art.h"
#include "draw.h"

#include <algorithm>

namespace assetgen {

namespace {

// The shared palette of the player's side.
constexpr Rgb kOutline = hex(0x0A1024);
constexpr Rgb kHullLight = hex(0xE4ECF8);
constexpr Rgb kHullMid = hex(0x9FB2D0);
constexpr Rgb kHullDark = hex(0x4A5C80);
constexpr Rgb kWingLight = hex(0x5B7DB8);
constexpr Rgb kWingDark = hex(0x22345E);
constexpr Rgb kAccent = hex(0xFF8A2A);
constexpr Rgb kAccentDark = hex(0xB8461A);
constexpr Rgb kGlass = hex(0x0C2452);
constexpr Rgb kGlassLit = hex(0x63DAFF);

// Fills the current path with the source, then outlines it.
void fillOutlined(cairo_t* cr, double width = 1.6)
{
    cairo_fill_preserve(cr);
    strokeKeep(cr, kOutline, width);
    cairo_new_path(cr);
}

// Mirror-symmetric shape from its right half: points from the top of the
// centre line round to the bottom of it, as cubic segments.
struct Seg { double x1, y1, x2, y2, x, y; };
void mirroredPath(cairo_t* cr, double cx, double topY, std::initializer_list<Seg> right)
{
    cairo_move_to(cr, cx, topY);
    for (const Seg& s : right)
        cairo_curve_to(cr, cx + s.x1, s.y1, cx + s.x2, s.y2, cx + s.x, s.y);
    // Back up the left side in reverse.
    std::vector<Seg> segs(right);
    for (size_t i = segs.size(); i-- > 0;) {
        const double px = i == 0 ? 0.0 : segs[i - 1].x;
        const double py = i == 0 ? topY : segs[i - 1].y;
        cairo_curve_to(cr, cx - segs[i].x2, segs[i].y2, cx - segs[i].x1, segs[i].y1, cx - px, py);
    }
    cairo_close_path(cr);
}

void flame(cairo_t* cr, double x, double y, double length, double width, double flicker)
{
    // Outer plume: orange to transparent; inner core: yellow-white.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    for (int layer = 0; layer < 3; ++layer) {
        const double k = 1.0 - layer * 0.3;
        const double len = length * k, w = width * (1.0 - layer * 0.28);
        cairo_new_path(cr);
        cairo_move_to(cr, -w, 0);
        cairo_curve_to(cr, -w, len * 0.35, -w * 0.25 + flicker, len * 0.75, flicker * 1.5, len);
        cairo_curve_to(cr, w * 0.25 + flicker, len * 0.75, w, len * 0.35, w, 0);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, len);
        if (layer == 0) {
            addStop(p, 0.0, hex(0xFF7A1A), 0.95);
            addStop(p, 0.5, hex(0xE0401A), 0.6);
            addStop(p, 1.0, hex(0x801060), 0.0);
        } else if (layer == 1) {
            addStop(p, 0.0, hex(0xFFD060), 1.0);
            addStop(p, 0.6, hex(0xFF9A30), 0.7);
            addStop(p, 1.0, hex(0xFF6020), 0.0);
        } else {
            addStop(p, 0.0, hex(0xFFFFFF), 1.0);
            addStop(p, 0.5, hex(0xFFF4C0), 0.8);
            addStop(p, 1.0, hex(0xFFE080), 0.0);
        }
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_restore(cr);
}

// One frame; `phase` 0..4 is the step of the engine-glow cycle.
void drawShipFrame(cairo_t* cr, int phase)
{
    const double cx = kShipFrameW / 2.0;
    const double cyc = phase / 5.0 * 2 * kPi;

    // Engine plumes first, so the nozzles sit on top of them.
    const double len = 26 + 7 * std::sin(cyc) + 2.5 * std::sin(2 * cyc + 1.0);
    const double flick = 1.2 * std::sin(3 * cyc);
    glow(cr, cx - 15, 122, 15 + 3 * std::sin(cyc), hex(0xFF8A3A), 0.45);
    glow(cr, cx + 15, 122, 15 + 3 * std::sin(cyc + 0.7), hex(0xFF8A3A), 0.45);
    flame(cr, cx - 15, 116, len, 5.8, flick);
    flame(cr, cx + 15, 116, len * (0.96 + 0.04 * std::cos(cyc)), 5.8, -flick);
    glow(cr, cx, 116, 10, hex(0x7FD8FF), 0.25 + 0.1 * std::sin(cyc));

    // Main wings: swept delta with orange leading-edge stripes.
    mirroredPath(cr, cx, 50, {{6, 50, 10, 50, 12, 52},
                              {26, 64, 44, 80, 56, 96},
                              {58, 99, 58, 104, 55, 106},
                              {44, 104, 26, 102, 12, 104},
                              {8, 106, 2, 106, 0, 106}});
    linearSource(cr, 0, 50, 0, 108, {{0.0, kWingLight}, {0.55, hex(0x3C5A94)}, {1.0, kWingDark}});
    fillOutlined(cr);
    // Leading-edge stripes.
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 15, 57);
        cairo_curve_to(cr, cx + side * 28, 67, cx + side * 42, 80, cx + side * 52, 93);
        cairo_line_to(cr, cx + side * 48, 95);
        cairo_curve_to(cr, cx + side * 38, 84, cx + side * 26, 73, cx + side * 14, 64);
        cairo_close_path(cr);
        linearSource(cr, cx + side * 14, 60, cx + side * 52, 94, {{0.0, kAccent}, {1.0, kAccentDark}});
        cairo_fill_preserve(cr);
        strokeKeep(cr, kOutline, 0.8, 0.6);
        cairo_new_path(cr);
        // Panel lines.
        cairo_move_to(cr, cx + side * 20, 90);
        cairo_line_to(cr, cx + side * 44, 100);
        cairo_move_to(cr, cx + side * 30, 80);
        cairo_line_to(cr, cx + side * 32, 102);
        setColour(cr, kOutline, 0.45);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }

    // Wingtip cannons.
    for (int side = -1; side <= 1; side += 2) {
        const double x = cx + side * 50;
        cairo_new_path(cr);
        roundedRect(cr, x - 1.6, 60, 3.2, 24, 1.2);
        linearSource(cr, x - 2, 0, x + 2, 0, {{0.0, kHullDark}, {0.5, kHullLight}, {1.0, kHullDark}});
        fillOutlined(cr, 1.2);
        cairo_new_path(cr);
        roundedRect(cr, x - 4.2, 76, 8.4, 26, 3.5);
        linearSource(cr, x - 4, 0, x + 4, 0, {{0.0, kHullDark}, {0.4, kHullLight}, {1.0, kHullMid}});
        fillOutlined(cr, 1.4);
        // Red nav light.
        glow(cr, x, 98, 4.5, side < 0 ? hex(0xFF4050) : hex(0x50FF90), 0.9);
    }

    // Engine nacelles.
    for (int side = -1; side <= 1; side += 2) {
        const double x = cx + side * 15;
        cairo_new_path(cr);
        cairo_move_to(cr, x - 6, 78);
        cairo_curve_to(cr, x - 6, 72, x + 6, 72, x + 6, 78);
        cairo_line_to(cr, x + 7, 114);
        cairo_line_to(cr, x - 7, 114);
        cairo_close_path(cr);
        linearSource(cr, x - 7, 0, x + 7, 0, {{0.0, kHullDark}, {0.35, kHullLight}, {0.7, kHullMid}, {1.0, kHullDark}});
        fillOutlined(cr);
        // Nozzle with a hot rim.
        cairo_new_path(cr);
        roundedRect(cr, x - 7.5, 111, 15, 6, 2);
        setColour(cr, hex(0x2A2F40));
        fillOutlined(cr, 1.2);
        cairo_new_path(cr);
        cairo_rectangle(cr, x - 5, 114, 10, 2.5);
        setColour(cr, mix(hex(0xFFB060), hex(0xFFF0C0), 0.5 + 0.5 * std::sin(cyc)));
        cairo_fill(cr);
    }

    // Fuselage.
    mirroredPath(cr, cx, 3, {{4, 8, 8, 22, 10, 38},
                             {12, 52, 14, 80, 13, 104},
                             {12, 110, 9, 114, 0, 114}});
    linearSource(cr, cx - 13, 0, cx + 13, 0,
                 {{0.0, kHullDark}, {0.22, kHullMid}, {0.42, kHullLight}, {0.62, kHullLight}, {1.0, kHullDark}});
    fillOutlined(cr, 1.8);
    // Spine and accent stripe.
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 62);
    cairo_line_to(cr, cx, 108);
    setColour(cr, kOutline, 0.5);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 4, 70);
        cairo_line_to(cr, cx + side * 9, 72);
        cairo_line_to(cr, cx + side * 9.5, 96);
        cairo_line_to(cr, cx + side * 4, 98);
        cairo_close_path(cr);
        setColour(cr, kAccent, 0.95);
        cairo_fill(cr);
    }
    // Nose cone tint.
    mirroredPath(cr, cx, 3, {{3, 7, 5, 12, 6, 18}, {3, 20, 1, 20, 0, 20}});
    linearSource(cr, 0, 3, 0, 20, {{0.0, hex(0xFF9A40)}, {1.0, kAccentDark}});
    fillOutlined(cr, 1.2);

    // Canopy.
    mirroredPath(cr, cx, 24, {{4, 25, 6.5, 34, 6.5, 44}, {6.5, 52, 4, 58, 0, 59}});
    radialSource(cr, cx - 2, 34, 1, 18, {{0.0, kGlassLit}, {0.5, hex(0x2A78C8)}, {1.0, kGlass}}, cx - 3, 30);
    fillOutlined(cr, 1.5);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 3.5, 31);
    cairo_curve_to(cr, cx - 4.5, 37, cx - 4.5, 44, cx - 3, 50);
    setColour(cr, hex(0xFFFFFF), 0.85);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

} // namespace

void drawSpaceship(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    for (int frame = 0; frame < kShipFrames; ++frame) {
        cairo_save(cr);
        cairo_translate(cr, (frame % kShipColumns) * kShipFrameW, (frame / kShipColumns) * kShipFrameH);
        cairo_rectangle(cr, 0, 0, kShipFrameW, kShipFrameH);
        cairo_clip(cr);
        // Frames 0..4 repeat the cycle of 5..9.
        drawShipFrame(cr, frame % kShipColumns);
        cairo_restore(cr);
    }
}

void drawShipIcon(Canvas& canvas)
{
    // The step with the shortest plumes, so the ship itself fills most of the
    // square; its ink runs from y 1 to 135 of the frame and is narrower than tall.
    constexpr int kPhase = 4;
    constexpr double kInkTop = 1, kInkBottom = 135;
    const double side = std::min(canvas.width(), canvas.height());
    const double scale = side * 0.96 / (kInkBottom - kInkTop);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_translate(cr, canvas.width() / 2.0, canvas.height() / 2.0);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -kShipFrameW / 2.0, -(kInkTop + kInkBottom) / 2.0);
    drawShipFrame(cr, kPhase);
    cairo_restore(cr);
}

} // namespace assetgen
