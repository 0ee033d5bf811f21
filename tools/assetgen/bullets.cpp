// The shot sheet: the player's bolt and the boss's plasma shot.
#include "art.h"
#include "draw.h"

namespace assetgen {

namespace {

void cellOrigin(cairo_t* cr, int cell)
{
    cairo_translate(cr, (cell % kBulletColumns) * kBulletCell, (cell / kBulletColumns) * kBulletCell);
    cairo_rectangle(cr, 0, 0, kBulletCell, kBulletCell);
    cairo_clip(cr);
}

// An elongated energy bolt along the y axis, tip at the top, centred in the cell.
void playerBolt(cairo_t* cr)
{
    const double cx = 16;
    // Soft halo.
    cairo_save(cr);
    cairo_translate(cr, cx, 16);
    cairo_scale(cr, 0.45, 1.0);
    glow(cr, 0, 0, 14.2, hex(0x3AB8FF), 0.6);
    cairo_restore(cr);
    // Body: tapered capsule, pointed nose up, fading tail.
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 2.8);
    cairo_curve_to(cr, cx + 3.4, 6.5, cx + 4.4, 11, cx + 4, 17);
    cairo_curve_to(cr, cx + 3.3, 23.5, cx + 1.3, 28, cx, 29.5);
    cairo_curve_to(cr, cx - 1.3, 28, cx - 3.3, 23.5, cx - 4, 17);
    cairo_curve_to(cr, cx - 4.4, 11, cx - 3.4, 6.5, cx, 2.8);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 2.8, 0, 29.5);
    addStop(p, 0.0, hex(0xBFF6FF), 1.0);
    addStop(p, 0.35, hex(0x42C8FF), 1.0);
    addStop(p, 1.0, hex(0x1050E0), 0.15);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 0.9);
    setColour(cr, hex(0x0E2A80), 0.7);
    cairo_stroke(cr);
    // White-hot core.
    cairo_new_path(cr);
    cairo_move_to(cr, cx, 4.5);
    cairo_curve_to(cr, cx + 1.6, 8, cx + 1.8, 13, cx + 1.2, 19);
    cairo_curve_to(cr, cx + 0.7, 22, cx - 0.7, 22, cx - 1.2, 19);
    cairo_curve_to(cr, cx - 1.8, 13, cx - 1.6, 8, cx, 4.5);
    cairo_close_path(cr);
    setColour(cr, hex(0xFFFFFF), 0.95);
    cairo_fill(cr);
}

// A plasma ball with a flickering tail; the ball is on the left because the
// game turns this cell a quarter anticlockwise, which makes it point down.
void bossShot(cairo_t* cr)
{
    const double bx = 9, by = 16;
    glow(cr, bx + 1, by, 8.2, hex(0xFF2A6A), 0.6);
    // Tail: tapering to the right, ending inside the cell.
    cairo_new_path(cr);
    cairo_move_to(cr, bx, by - 6.5);
    cairo_curve_to(cr, bx + 6, by - 6, bx + 11, by - 3, bx + 14, by - 1.2);
    cairo_curve_to(cr, bx + 12.5, by - 0.5, bx + 17, by, bx + 20, by + 0.4);
    cairo_curve_to(cr, bx + 15, by + 1.5, bx + 11, by + 4, bx + 6, by + 6.2);
    cairo_curve_to(cr, bx + 3, by + 7, bx, by + 6.5, bx, by + 6.5);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(bx, 0, bx + 20, 0);
    addStop(p, 0.0, hex(0xFF5A3A), 1.0);
    addStop(p, 0.4, hex(0xE0206A), 0.8);
    addStop(p, 1.0, hex(0x8010A0), 0.0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Ball with a dark rim and hot centre.
    cairo_new_path(cr);
    cairo_arc(cr, bx, by, 6.4, 0, 2 * kPi);
    radialSource(cr, bx, by, 0.5, 6.4, {{0.0, hex(0xFFFFF0)}, {0.35, hex(0xFFD040)}, {0.75, hex(0xFF4020)}, {1.0, hex(0xA01040)}},
                 bx - 1.5, by - 1.5);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, hex(0x400820), 0.8);
    cairo_stroke(cr);
}

} // namespace

void drawBullets(Canvas& canvas)
{
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cellOrigin(cr, kPlayerBoltCell);
    playerBolt(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cellOrigin(cr, kBossShotCell);
    bossShot(cr);
    cairo_restore(cr);
}

} // namespace assetgen
