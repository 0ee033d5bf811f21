// Lettered pictures: the title logo, GAME OVER and the 1UP / LEVEL UP banners.
// They are BMPs without alpha, so no soft glows: crisp outlined shapes only.
#include "art.h"
#include "draw.h"

#include <algorithm>

namespace assetgen {

namespace {

constexpr Rgb kInk = hex(0x060A1E);  // outline navy, never the black key

struct Chrome {
    std::initializer_list<std::pair<double, Rgb>> face;
    Rgb sideTop, sideBottom;
};

const Chrome kBlueChrome{{{0.0, hex(0xF6FCFF)}, {0.28, hex(0x9ADCFF)}, {0.485, hex(0x2E66C8)}, {0.5, hex(0x10205A)},
                          {0.53, hex(0xFFE08A)}, {0.75, hex(0xFF9A30)}, {1.0, hex(0xC8381C)}},
                         hex(0x22306A), hex(0x0C1236)};
const Chrome kRedChrome{{{0.0, hex(0xFFF4DC)}, {0.28, hex(0xFFC070)}, {0.485, hex(0xE84A24)}, {0.5, hex(0x4A0A1C)},
                         {0.53, hex(0xFF8A9A)}, {0.75, hex(0xE0306A)}, {1.0, hex(0x7A0E4A)}},
                        hex(0x4A1030), hex(0x1C0616)};
const Chrome kGoldChrome{{{0.0, hex(0xFFFFF0)}, {0.3, hex(0xFFE27A)}, {0.485, hex(0xE89A20)}, {0.5, hex(0x5A2A08)},
                          {0.53, hex(0xFFD070)}, {0.8, hex(0xE07A18)}, {1.0, hex(0x9A3A10)}},
                         hex(0x5A2A0A), hex(0x241004)};
const Chrome kGreenChrome{{{0.0, hex(0xF4FFF6)}, {0.3, hex(0x9CFFB8)}, {0.485, hex(0x20B868)}, {0.5, hex(0x063A28)},
                           {0.53, hex(0xB8FF70)}, {0.8, hex(0x40C040)}, {1.0, hex(0x167038)}},
                          hex(0x0C3A2A), hex(0x041A12)};

// Lettering with a dark extruded depth, a thick outline, a chrome face and a
// thin light bevel along the top edges.
void chromeText(cairo_t* cr, const std::string& text, double cx, double cy, double maxW, double capH,
                const Chrome& style, double depth, double outline, double spacing = 0.04, double slant = 0.16)
{
    const double dx = depth * 0.55, dy = depth;
    // Outline around the whole extruded block.
    textPath(cr, text, cx + dx, cy + dy, maxW, capH, spacing, slant);
    strokeKeep(cr, kInk, outline * 2);
    cairo_new_path(cr);
    const int steps = std::max(1, static_cast<int>(depth));
    for (int i = steps; i >= 0; --i) {
        const double t = static_cast<double>(i) / steps;
        textPath(cr, text, cx + dx * t, cy + dy * t, maxW, capH, spacing, slant);
        if (i == steps)
            strokeKeep(cr, kInk, outline * 2);
        else if (i == 0)
            strokeKeep(cr, kInk, outline * 2);
        setColour(cr, mix(style.sideTop, style.sideBottom, t));
        cairo_fill(cr);
    }
    const TextBox box = textPath(cr, text, cx, cy, maxW, capH, spacing, slant);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, box.y0, 0, box.y1);
    for (const auto& s : style.face)
        addStop(face, s.first, s.second);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    // Bevel: the face outline shifted up-left, stroked dark inside the face,
    // gives a shadowed lower-right rim; shifted down-right and stroked light,
    // a lit upper-left rim.
    cairo_save(cr);
    cairo_clip(cr);
    const double o = std::max(0.8, outline * 0.35);
    textPath(cr, text, cx - o, cy - o, maxW, capH, spacing, slant);
    cairo_set_line_width(cr, o * 1.6);
    setColour(cr, kInk, 0.45);
    cairo_stroke(cr);
    textPath(cr, text, cx + o, cy + o, maxW, capH, spacing, slant);
    cairo_set_line_width(cr, o * 1.3);
    setColour(cr, hex(0xFFFFFF), 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

// One feather of the emblem's wing: a blade from the body out to a tip.
void feather(cairo_t* cr, double rootX, double rootY, double tipX, double tipY, double thick)
{
    const double dx = tipX - rootX, dy = tipY - rootY;
    cairo_new_path(cr);
    cairo_move_to(cr, rootX, rootY - thick * 0.5);
    cairo_curve_to(cr, rootX + dx * 0.35, rootY + dy * 0.2 - thick, rootX + dx * 0.75, rootY + dy * 0.7 - thick * 0.6,
                   tipX, tipY);
    cairo_curve_to(cr, rootX + dx * 0.7, rootY + dy * 0.75 + thick * 0.2, rootX + dx * 0.35, rootY + dy * 0.35 + thick * 0.6,
                   rootX, rootY + thick * 0.5);
    cairo_close_path(cr);
}

// The kestrel: a diamond head with swept wings spread above the title.
void emblem(cairo_t* cr, double cx, double cy)
{
    static const Rgb tones[3][3] = {{hex(0xFFF0B0), hex(0xFFB030), hex(0xB04A14)},
                                    {hex(0xFFD080), hex(0xFF7A2A), hex(0x9A2A18)},
                                    {hex(0xFFB090), hex(0xE0402A), hex(0x701428)}};
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 3; ++k) {
            const double rootX = cx + side * 26, rootY = cy + 4 + k * 12;
            const double tipX = cx + side * (318 - k * 62), tipY = cy - 40 + k * 22;
            feather(cr, rootX, rootY, tipX, tipY, 26 - k * 5);
            linearSource(cr, rootX, rootY, tipX, tipY, {{0.0, tones[k][0]}, {0.45, tones[k][1]}, {1.0, tones[k][2]}});
            cairo_fill_preserve(cr);
            strokeKeep(cr, kInk, 4.5);
            cairo_new_path(cr);
        }
    }
    // Head: a faceted diamond pointing down like a diving falcon.
    const double top = cy - 34, bottom = cy + 44, half = 30;
    cairo_new_path(cr);
    cairo_move_to(cr, cx, top);
    cairo_line_to(cr, cx + half, cy);
    cairo_line_to(cr, cx, bottom);
    cairo_line_to(cr, cx - half, cy);
    cairo_close_path(cr);
    strokeKeep(cr, kInk, 9);
    cairo_new_path(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, cx, top);
        cairo_line_to(cr, cx + side * half, cy);
        cairo_line_to(cr, cx, bottom);
        cairo_close_path(cr);
        if (side < 0)
            linearSource(cr, cx - half, top, cx, bottom, {{0.0, hex(0xE8F8FF)}, {0.5, hex(0x6AB8F0)}, {1.0, hex(0x1A3A8A)}});
        else
            linearSource(cr, cx, top, cx + half, bottom, {{0.0, hex(0x7AB0E0)}, {0.5, hex(0x2A5AB0)}, {1.0, hex(0x0E1E5A)}});
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx, top + 4);
    cairo_line_to(cr, cx, bottom - 4);
    cairo_set_line_width(cr, 1.5);
    setColour(cr, hex(0xFFFFFF), 0.6);
    cairo_stroke(cr);
    // Eyes.
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 5, cy - 2);
        cairo_line_to(cr, cx + side * 19, cy - 6);
        cairo_line_to(cr, cx + side * 12, cy + 4);
        cairo_close_path(cr);
        setColour(cr, hex(0xFFD040));
        cairo_fill_preserve(cr);
        strokeKeep(cr, kInk, 1.5);
        cairo_new_path(cr);
    }
}

} // namespace

void drawLogo(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    const double w = canvas.width();
    emblem(cr, w / 2, 60);
    // A thin light streak under the title.
    cairo_new_path(cr);
    cairo_move_to(cr, 100, 268);
    cairo_curve_to(cr, 340, 259, 560, 259, 800, 268);
    cairo_curve_to(cr, 560, 277, 340, 277, 100, 268);
    cairo_close_path(cr);
    linearSource(cr, 100, 0, 800, 0, {{0.0, hex(0x2A4A9A)}, {0.5, hex(0xCFF4FF)}, {1.0, hex(0x2A4A9A)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 3);
    cairo_new_path(cr);

    chromeText(cr, "KESTRELON", w / 2, 176, 810, 128, kBlueChrome, 12, 6, 0.05, 0.16);
    sparkle(cr, 724, 122, 18, hex(0xFFFFFF));
    sparkle(cr, 724, 122, 8, hex(0xBFF0FF));
}

void drawGameOver(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    chromeText(cr, "GAME OVER", canvas.width() / 2.0 - 2, 44, 306, 58, kRedChrome, 6, 3.5, 0.06, 0.14);
}

void drawOneUp(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    const double c = 60;
    // A gold ring with a deep-space centre.
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 55, 0, 2 * kPi);
    linearSource(cr, 0, 5, 0, 115, {{0.0, hex(0xFFF0A0)}, {0.5, hex(0xE8A030)}, {1.0, hex(0x8A4010)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 4);
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 46, 0, 2 * kPi);
    radialSource(cr, c, c - 10, 4, 50, {{0.0, hex(0x2A4A9A)}, {1.0, hex(0x0A1030)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 3);
    cairo_new_path(cr);
    chromeText(cr, "1UP", c - 1, c + 1, 84, 44, kGreenChrome, 4, 3, 0.04, 0.12);
    sparkle(cr, 92, 30, 9, hex(0xFFFFFF));
}

void drawLevelUp(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    const double c = 60;
    // Two rising chevrons.
    for (int k = 0; k < 2; ++k) {
        const double y = 30 - k * 14;
        cairo_new_path(cr);
        cairo_move_to(cr, c - 26, y + 12);
        cairo_line_to(cr, c, y - 6);
        cairo_line_to(cr, c + 26, y + 12);
        cairo_line_to(cr, c + 26, y + 20);
        cairo_line_to(cr, c, y + 3);
        cairo_line_to(cr, c - 26, y + 20);
        cairo_close_path(cr);
        linearSource(cr, 0, y - 6, 0, y + 20, {{0.0, hex(0xC8F6FF)}, {0.5, hex(0x40B8FF)}, {1.0, hex(0x1A4AA0)}});
        cairo_fill_preserve(cr);
        strokeKeep(cr, kInk, 3);
        cairo_new_path(cr);
    }
    chromeText(cr, "LEVEL", c, 63, 108, 26, kGoldChrome, 4, 3, 0.05, 0.12);
    chromeText(cr, "UP", c, 97, 70, 30, kGoldChrome, 4, 3, 0.06, 0.12);
}

} // namespace assetgen
