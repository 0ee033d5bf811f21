// Small interface pictures: difficulty badges, the boss health segment and
// the ammunition icons.
#include "art.h"
#include "draw.h"

namespace assetgen {

namespace {

constexpr Rgb kInk = hex(0x060A1E);

void star(cairo_t* cr, double cx, double cy, double outer, double inner, int points = 5)
{
    cairo_new_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -kPi / 2 + i * kPi / points;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void chevron(cairo_t* cr, double cx, double y, double halfW, double thick, double rise)
{
    cairo_new_path(cr);
    cairo_move_to(cr, cx - halfW, y + rise);
    cairo_line_to(cr, cx, y);
    cairo_line_to(cr, cx + halfW, y + rise);
    cairo_line_to(cr, cx + halfW, y + rise + thick);
    cairo_line_to(cr, cx, y + thick);
    cairo_line_to(cr, cx - halfW, y + rise + thick);
    cairo_close_path(cr);
}

void noviceBadge(cairo_t* cr)
{
    // A round teal medal with one chevron: the first rank.
    const double c = 32;
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 29, 0, 2 * kPi);
    linearSource(cr, 0, 3, 0, 61, {{0.0, hex(0xD8F4FF)}, {0.5, hex(0x7AA8D0)}, {1.0, hex(0x35507A)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 2.5);
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 23, 0, 2 * kPi);
    radialSource(cr, c - 5, c - 7, 2, 26, {{0.0, hex(0x6CFFD8)}, {0.55, hex(0x16A88A)}, {1.0, hex(0x0A4A48)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.8);
    cairo_new_path(cr);
    chevron(cr, c, 22, 14, 9, 12);
    linearSource(cr, 0, 22, 0, 43, {{0.0, hex(0xFFFFFF)}, {1.0, hex(0xB8E8E0)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.8);
    cairo_new_path(cr);
    // Gloss across the top.
    cairo_new_path(cr);
    cairo_arc(cr, c, c, 20, kPi * 1.12, kPi * 1.88);
    cairo_set_line_width(cr, 2.2);
    setColour(cr, hex(0xFFFFFF), 0.55);
    cairo_stroke(cr);
}

void heroBadge(cairo_t* cr)
{
    // A crimson shield edged in gold with a star and three chevrons.
    const double c = 32;
    auto shield = [&](double inset) {
        cairo_new_path(cr);
        cairo_move_to(cr, c, 3 + inset);
        cairo_curve_to(cr, c + 12, 8 + inset, c + 20, 8 + inset, 29 + c - inset * 1.1, 7 + inset);
        cairo_curve_to(cr, 29 + c - inset * 1.1, 30, c + 22 - inset, 48 - inset * 0.4, c, 61 - inset * 1.3);
        cairo_curve_to(cr, c - 22 + inset, 48 - inset * 0.4, -29 + c + inset * 1.1, 30, -29 + c + inset * 1.1, 7 + inset);
        cairo_curve_to(cr, c - 20, 8 + inset, c - 12, 8 + inset, c, 3 + inset);
        cairo_close_path(cr);
    };
    shield(0);
    linearSource(cr, 0, 3, 0, 61, {{0.0, hex(0xFFF4B0)}, {0.45, hex(0xF0B030)}, {1.0, hex(0x9A5010)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 2.5);
    cairo_new_path(cr);
    shield(5);
    radialSource(cr, c - 4, 18, 2, 40, {{0.0, hex(0xFF6A5A)}, {0.5, hex(0xC01830)}, {1.0, hex(0x500820)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.8);
    cairo_new_path(cr);
    star(cr, c, 24, 12.5, 5.2);
    linearSource(cr, 0, 12, 0, 36, {{0.0, hex(0xFFFFE0)}, {0.5, hex(0xFFD040)}, {1.0, hex(0xD08010)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.6);
    cairo_new_path(cr);
    for (int k = 0; k < 2; ++k) {
        chevron(cr, c, 38 + k * 7, 11 - k * 1.5, 4, 6);
        setColour(cr, hex(0xFFD860));
        cairo_fill_preserve(cr);
        strokeKeep(cr, kInk, 1.2);
        cairo_new_path(cr);
    }
}

} // namespace

void drawSkillBadge(Canvas& canvas, bool hero)
{
    if (hero)
        heroBadge(canvas.cr());
    else
        noviceBadge(canvas.cr());
}

void drawBossHealth(Canvas& canvas)
{
    // Segments stack with no gap: the side rails run the full height so the
    // bar reads as one tube, each segment one glowing cell inside it.
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, 0, 32, 32);
    linearSource(cr, 0, 0, 32, 0, {{0.0, hex(0x2A3450)}, {0.12, hex(0x8A9AC0)}, {0.2, hex(0x3A4668)},
                                   {0.8, hex(0x3A4668)}, {0.88, hex(0x8A9AC0)}, {1.0, hex(0x2A3450)}});
    cairo_fill(cr);
    cairo_rectangle(cr, 6, 0, 20, 32);
    setColour(cr, hex(0x10142A));
    cairo_fill(cr);
    cairo_new_path(cr);
    roundedRect(cr, 7.5, 3, 17, 26, 4);
    linearSource(cr, 7, 0, 25, 0, {{0.0, hex(0x8A0A20)}, {0.3, hex(0xFF4A3A)}, {0.55, hex(0xFF8A4A)}, {1.0, hex(0xA01028)}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, hex(0x2A0610), 1.2);
    cairo_new_path(cr);
    roundedRect(cr, 10.5, 5, 5, 20, 2.5);
    setColour(cr, hex(0xFFE0C0), 0.7);
    cairo_fill(cr);
}

void drawAmmo(Canvas& canvas, bool hero)
{
    // One round, nose up; Novice teal energy tips, Hero red-hot ones.
    cairo_t* cr = canvas.cr();
    const double c = 16;
    const Rgb tipLight = hero ? hex(0xFFE0A0) : hex(0xD0FFF4);
    const Rgb tipMid = hero ? hex(0xFF5A2A) : hex(0x30E0C0);
    const Rgb tipDark = hero ? hex(0x8A1020) : hex(0x0A6A70);
    const Rgb caseLight = hero ? hex(0xFFE8A0) : hex(0xD8E4F4);
    const Rgb caseMid = hero ? hex(0xC07A28) : hex(0x7A90B8);
    const Rgb caseDark = hero ? hex(0x5A3410) : hex(0x2A3A5A);
    // Case.
    cairo_new_path(cr);
    roundedRect(cr, c - 7, 14, 14, 16, 1.5);
    linearSource(cr, c - 7, 0, c + 7, 0, {{0.0, caseDark}, {0.35, caseLight}, {0.6, caseMid}, {1.0, caseDark}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.4);
    cairo_new_path(cr);
    // Band.
    cairo_rectangle(cr, c - 7, 24, 14, 2.5);
    setColour(cr, tipDark, 0.9);
    cairo_fill(cr);
    // Tip.
    cairo_new_path(cr);
    cairo_move_to(cr, c - 7, 15);
    cairo_curve_to(cr, c - 7, 8, c - 2.5, 3, c, 2);
    cairo_curve_to(cr, c + 2.5, 3, c + 7, 8, c + 7, 15);
    cairo_close_path(cr);
    linearSource(cr, c - 7, 0, c + 7, 0, {{0.0, tipDark}, {0.35, tipLight}, {0.6, tipMid}, {1.0, tipDark}});
    cairo_fill_preserve(cr);
    strokeKeep(cr, kInk, 1.4);
    cairo_new_path(cr);
}

} // namespace assetgen
