// The boss: a broad alien warship of plated chitin with claw wings, facing
// down at the player, one burning eye and two bio-cannons.
#include "art.h"
#include "draw.h"

namespace assetgen {

namespace {

constexpr Rgb kInk = hex(0x12040E);
constexpr Rgb kShellLight = hex(0xD060A0);
constexpr Rgb kShellMid = hex(0x6E1A58);
constexpr Rgb kShellDark = hex(0x2A0828);
constexpr Rgb kBone = hex(0xEADCBC);
constexpr Rgb kBoneDark = hex(0x6E5640);
constexpr Rgb kVein = hex(0x60FFB0);
constexpr Rgb kFire = hex(0xFF3A20);

void outlined(cairo_t* cr, double width)
{
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, width);
    cairo_new_path(cr);
}

// The right wing in wing space (x from the centre line outwards).
void wingPath(cairo_t* cr)
{
    cairo_new_path(cr);
    cairo_move_to(cr, 22, 30);
    cairo_curve_to(cr, 50, 12, 86, 14, 104, 38);
    cairo_curve_to(cr, 113, 58, 110, 96, 98, 136);
    // Serrated trailing edge back towards the body, claws pointing down.
    cairo_line_to(cr, 92, 116);
    cairo_line_to(cr, 86, 124);
    cairo_line_to(cr, 80, 104);
    cairo_line_to(cr, 72, 112);
    cairo_curve_to(cr, 64, 98, 52, 100, 44, 104);
    cairo_line_to(cr, 38, 112);
    cairo_curve_to(cr, 34, 104, 30, 100, 26, 98);
    cairo_close_path(cr);
}

void wing(cairo_t* cr)
{
    wingPath(cr);
    radialSource(cr, 30, 40, 4, 110, {{0.0, kShellLight}, {0.45, kShellMid}, {1.0, kShellDark}}, 40, 30);
    outlined(cr, 2.2);

    // Armour bands: a dark groove with a lit lip behind it.
    cairo_save(cr);
    wingPath(cr);
    cairo_clip(cr);
    for (int k = 0; k < 3; ++k) {
        const double t = k / 2.0;
        cairo_new_path(cr);
        cairo_move_to(cr, 30 + t * 16, 42 + t * 26);
        cairo_curve_to(cr, 56 + t * 10, 30 + t * 30, 86 + t * 6, 40 + t * 36, 108, 60 + t * 44);
        cairo_set_line_width(cr, 3.2);
        setColour(cr, kInk, 0.75);
        cairo_stroke_preserve(cr);
        cairo_translate(cr, 0, -2.2);
        cairo_set_line_width(cr, 1.4);
        setColour(cr, hex(0xF4A8D8), 0.7);
        cairo_stroke(cr);
        cairo_translate(cr, 0, 2.2);
    }
    // Glowing veins.
    cairo_new_path(cr);
    cairo_move_to(cr, 36, 36);
    cairo_curve_to(cr, 54, 40, 70, 56, 78, 84);
    cairo_move_to(cr, 60, 26);
    cairo_curve_to(cr, 80, 32, 94, 52, 98, 88);
    cairo_set_line_width(cr, 3.5);
    setColour(cr, kVein, 0.25);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, kVein, 0.9);
    cairo_stroke(cr);
    cairo_restore(cr);

    // Bio-cannon under the wing: a ribbed tube with a burning mouth.
    cairo_new_path(cr);
    roundedRect(cr, 59, 58, 18, 44, 8);
    linearSource(cr, 59, 0, 77, 0, {{0.0, hex(0x1A1420)}, {0.35, hex(0x8A7A90)}, {0.6, hex(0x4A3A52)}, {1.0, hex(0x140E18)}});
    outlined(cr, 1.8);
    for (int r = 0; r < 4; ++r) {
        cairo_new_path(cr);
        cairo_move_to(cr, 60, 66 + r * 8);
        cairo_curve_to(cr, 64, 69 + r * 8, 72, 69 + r * 8, 76, 66 + r * 8);
        cairo_set_line_width(cr, 1.6);
        setColour(cr, kInk, 0.8);
        cairo_stroke(cr);
    }
    glow(cr, 68, 106, 12, kFire, 0.7);
    cairo_new_path(cr);
    cairo_move_to(cr, 61, 98);
    cairo_curve_to(cr, 62, 110, 74, 110, 75, 98);
    cairo_close_path(cr);
    setColour(cr, hex(0x2A1620));
    outlined(cr, 1.5);
    cairo_new_path(cr);
    cairo_arc(cr, 68, 103, 3.2, 0, 2 * kPi);
    radialSource(cr, 68, 103, 0.2, 3.2, {{0.0, hex(0xFFFFD0)}, {0.6, hex(0xFFA030)}, {1.0, kFire}});
    cairo_fill(cr);

    // Mandible at the front.
    cairo_new_path(cr);
    cairo_move_to(cr, 10, 100);
    cairo_curve_to(cr, 26, 104, 30, 120, 20, 141);
    cairo_curve_to(cr, 18, 128, 12, 120, 3, 115);
    cairo_close_path(cr);
    linearSource(cr, 4, 100, 24, 140, {{0.0, kBone}, {1.0, kBoneDark}});
    outlined(cr, 1.8);
    // Spines along the back edge.
    for (int k = 0; k < 3; ++k) {
        const double x = 40 + k * 20;
        cairo_new_path(cr);
        cairo_move_to(cr, x - 5, 24 - k * 1.0);
        cairo_line_to(cr, x + 3, 3 + k * 3);
        cairo_line_to(cr, x + 6, 22 - k * 0.5);
        cairo_close_path(cr);
        linearSource(cr, 0, 4, 0, 24, {{0.0, kBone}, {1.0, kBoneDark}});
        outlined(cr, 1.5);
    }
}

} // namespace

void drawBoss(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    const double cx = canvas.width() / 2.0;

    // A red heat haze under the hull.
    glow(cr, cx, 96, 60, hex(0xFF2050), 0.3);

    for (int side = -1; side <= 1; side += 2) {
        cairo_save(cr);
        cairo_translate(cr, cx, 0);
        cairo_scale(cr, side, 1);
        wing(cr);
        cairo_restore(cr);
    }

    // Central carapace.
    auto body = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, cx, 5);
        cairo_curve_to(cr, cx + 30, 7, cx + 42, 34, cx + 40, 62);
        cairo_curve_to(cr, cx + 38, 90, cx + 22, 112, cx, 124);
        cairo_curve_to(cr, cx - 22, 112, cx - 38, 90, cx - 40, 62);
        cairo_curve_to(cr, cx - 42, 34, cx - 30, 7, cx, 5);
        cairo_close_path(cr);
    };
    // A dark rim where the body meets the wings.
    body();
    strokeKeep(cr, kInk, 7, 0.6);
    radialSource(cr, cx, 58, 6, 64, {{0.0, hex(0xE878B0)}, {0.45, kShellMid}, {1.0, kShellDark}}, cx - 12, 28);
    outlined(cr, 2.4);
    cairo_save(cr);
    body();
    cairo_clip(cr);
    // Plates, each with a shadowed groove and a lit lip.
    for (int k = 0; k < 4; ++k) {
        const double y = 16 + k * 12;
        cairo_new_path(cr);
        cairo_move_to(cr, cx - 42, y + 10);
        cairo_curve_to(cr, cx - 16, y - 1, cx + 16, y - 1, cx + 42, y + 10);
        cairo_set_line_width(cr, 2.6);
        setColour(cr, kInk, 0.7);
        cairo_stroke_preserve(cr);
        cairo_translate(cr, 0, 1.8);
        cairo_set_line_width(cr, 1.0);
        setColour(cr, hex(0xF8B0E0), 0.55);
        cairo_stroke(cr);
        cairo_translate(cr, 0, -1.8);
    }
    // Spine ridge.
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 8);
    cairo_line_to(cr, cx, 64);
    cairo_set_line_width(cr, 4);
    setColour(cr, kShellDark, 0.8);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - 1, 10);
    cairo_line_to(cr, cx - 1, 62);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, hex(0xFFC8E8), 0.6);
    cairo_stroke(cr);
    // Side gill vents glowing green.
    for (int side = -1; side <= 1; side += 2)
        for (int k = 0; k < 3; ++k) {
            cairo_new_path(cr);
            const double x = cx + side * (26 + k * 3), y = 62 + k * 8;
            cairo_move_to(cr, x - side * 6, y);
            cairo_line_to(cr, x + side * 5, y + 3);
            cairo_set_line_width(cr, 2.6);
            setColour(cr, kInk);
            cairo_stroke_preserve(cr);
            cairo_set_line_width(cr, 1.1);
            setColour(cr, kVein, 0.95);
            cairo_stroke(cr);
        }
    cairo_restore(cr);

    // The eye: a burning core with a slit pupil, looking down at the player.
    glow(cr, cx, 90, 28, hex(0xFF4020), 0.75);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, 90);
    cairo_scale(cr, 1.0, 0.78);
    cairo_arc(cr, 0, 0, 17, 0, 2 * kPi);
    cairo_restore(cr);
    radialSource(cr, cx, 92, 1, 17, {{0.0, hex(0xFFFFD0)}, {0.3, hex(0xFFD030)}, {0.7, hex(0xFF3A18)}, {1.0, hex(0x700818)}});
    outlined(cr, 2.2);
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 80);
    cairo_curve_to(cr, cx + 4, 86, cx + 4, 94, cx, 101);
    cairo_curve_to(cr, cx - 4, 94, cx - 4, 86, cx, 80);
    cairo_close_path(cr);
    setColour(cr, hex(0x1A0408));
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx - 6, 85, 2.6, 0, 2 * kPi);
    setColour(cr, hex(0xFFFFFF), 0.85);
    cairo_fill(cr);
    // Brow ridges frown over the eye.
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 3, 78);
        cairo_curve_to(cr, cx + side * 12, 70, cx + side * 24, 70, cx + side * 32, 76);
        cairo_curve_to(cr, cx + side * 22, 76, cx + side * 14, 78, cx + side * 4, 82);
        cairo_close_path(cr);
        linearSource(cr, 0, 70, 0, 82, {{0.0, kBone}, {1.0, kBoneDark}});
        outlined(cr, 1.4);
    }
    // Fangs under the eye.
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 6, 108);
        cairo_line_to(cr, cx + side * 3, 121);
        cairo_line_to(cr, cx + side * 11, 106);
        cairo_close_path(cr);
        linearSource(cr, 0, 106, 0, 121, {{0.0, kBone}, {1.0, kBoneDark}});
        outlined(cr, 1.2);
    }
}

} // namespace assetgen
