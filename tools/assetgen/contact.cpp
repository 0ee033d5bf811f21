#include "contact.h"

#include "draw.h"

#include <algorithm>
#include <memory>

namespace assetgen {

namespace {

// The picture as the game sees it: exact key colour transparent, else kept.
std::unique_ptr<Canvas> keyedSurface(const ContactItem& item)
{
    auto c = std::make_unique<Canvas>(item.picture.width, item.picture.height);
    for (int y = 0; y < item.picture.height; ++y)
        for (int x = 0; x < item.picture.width; ++x) {
            const uint32_t s = item.picture.at(x, y);
            if (s == (0xFF000000u | item.key)) {
                c->setPremultiplied(x, y, 0);
                continue;
            }
            const uint32_t a = s >> 24;
            auto pm = [a](uint32_t v) { return (v * a + 127) / 255; };
            c->setPremultiplied(x, y, (a << 24) | (pm((s >> 16) & 255) << 16) | (pm((s >> 8) & 255) << 8) | pm(s & 255));
        }
    return c;
}

void checkerboard(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    const double cell = 8;
    for (int j = 0; j * cell < h; ++j)
        for (int i = 0; i * cell < w; ++i) {
            const double v = ((i + j) & 1) ? 0.62 : 0.50;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x + i * cell, y + j * cell, cell, cell);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

void label(cairo_t* cr, const std::string& text, double x, double y)
{
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 14);
    cairo_set_source_rgb(cr, 0.9, 0.92, 1.0);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

const ContactItem* find(const std::vector<ContactItem>& items, const std::string& name)
{
    for (const auto& item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

// Draws part of a keyed picture at (x, y), scaled and turned about its centre
// the way the game's renderer does (angle in degrees, clockwise on screen).
void blit(cairo_t* cr, Canvas& keyed, double sx, double sy, double sw, double sh, double x, double y, double scale,
          double angle = 0.0)
{
    cairo_save(cr);
    cairo_translate(cr, x + sw * scale / 2, y + sh * scale / 2);
    cairo_rotate(cr, angle * kPi / 180.0);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -sw / 2, -sh / 2);
    cairo_rectangle(cr, 0, 0, sw, sh);
    cairo_clip(cr);
    cairo_set_source_surface(cr, keyed.surface(), -sx, -sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
}

// The pictures as the game shows them, at its draw scales, over the star map
// composed from the atlas through the tile table.
void gameView(cairo_t* cr, const std::vector<ContactItem>& items, double top, double width, double height)
{
    const ContactItem* map = find(items, "spacemap.bmp");
    cairo_save(cr);
    cairo_rectangle(cr, 0, top, width, height);
    cairo_clip(cr);
    if (map) {
        auto atlas = keyedSurface(*map);
        for (int row = 0; row * 64 < height + 64; ++row)
            for (int col = 0; col * 64 < width; ++col) {
                const int t = (row % 12) * 16 + (col % 16) + 1;
                blit(cr, *atlas, (t % 16) * 64, (t / 16) * 64, 64, 64, col * 64, top + row * 64, 1.0);
            }
    }
    struct Shot { const char* name; double sx, sy, sw, sh, x, y, scale, angle; const char* caption; };
    const Shot shots[] = {
        {"spaceship.png", 254, 152, 127, 152, 20, 40, 1.0, 0, "ship (frame 7)"},
        {"spaceship.png", 254, 152, 127, 152, 160, 40, 0.5, 0, "lives 0.5"},
        {"spaceship.png", 0, 152, 127, 152, 240, 40, 0.6, 0, "5"},
        {"spaceship.png", 127, 152, 127, 152, 320, 40, 0.6, 0, "6"},
        {"spaceship.png", 254, 152, 127, 152, 400, 40, 0.6, 0, "7"},
        {"spaceship.png", 381, 152, 127, 152, 480, 40, 0.6, 0, "8"},
        {"spaceship.png", 508, 152, 127, 152, 560, 40, 0.6, 0, "9"},
        {"bullets.png", 224, 192, 32, 32, 660, 50, 0.6, 0, "bolt 0.6"},
        {"bullets.png", 224, 192, 32, 32, 660, 90, 0.6, 0, ""},
        {"bullets.png", 0, 192, 32, 32, 740, 50, 1.2, -90, "boss shot -90 1.2"},
        {"asteroid.tga", 0, 0, 60, 60, 880, 40, 1.0, 0, "rock 0"},
        {"asteroid.tga", 60 * 4, 60, 60, 60, 950, 40, 1.0, 0, "12"},
        {"asteroid.tga", 0, 60 * 3, 60, 60, 1020, 40, 1.0, 0, "24"},
        {"asteroid.tga", 60 * 4, 60 * 4, 60, 60, 1090, 40, 1.0, 0, "36"},
        {"asteroid.tga", 0, 60 * 6, 60, 60, 1160, 40, 1.0, 0, "48"},
        {"bosstest.png", 0, 0, 219, 144, 1260, 30, 1.0, 0, "boss"},
        {"gamelogo.bmp", 0, 0, 900, 300, 20, 230, 0.6, 0, "logo 0.6"},
        {"gamelogo.bmp", 0, 0, 900, 300, 580, 230, 0.3, 0, "logo 0.3"},
        {"gameover.bmp", 0, 0, 336, 95, 580, 340, 1.0, 0, "game over"},
        {"skill1.bmp", 0, 0, 64, 64, 960, 240, 0.7, 0, "novice 0.7"},
        {"skill2.bmp", 0, 0, 64, 64, 1040, 240, 0.7, 0, "hero 0.7"},
        {"1up.bmp", 0, 0, 120, 120, 1130, 240, 0.7, 0, "1up 0.7"},
        {"levelup.bmp", 0, 0, 120, 120, 1230, 240, 0.7, 0, "level up 0.7"},
    };
    for (const Shot& s : shots) {
        const ContactItem* item = find(items, s.name);
        if (!item)
            continue;
        auto keyed = keyedSurface(*item);
        blit(cr, *keyed, s.sx, s.sy, s.sw, s.sh, s.x, top + s.y, s.scale, s.angle);
        if (*s.caption)
            label(cr, s.caption, s.x, top + s.y - 6);
    }
    // Health bar and ammunition columns, stacked upwards with no gap.
    const struct { const char* name; double x; int count; } stacks[] = {
        {"bosshealth.bmp", 1380, 10}, {"ammogui.bmp", 1440, 12}, {"ammogui2.bmp", 1480, 12}};
    for (const auto& st : stacks) {
        const ContactItem* item = find(items, st.name);
        if (!item)
            continue;
        auto keyed = keyedSurface(*item);
        for (int i = 0; i < st.count; ++i)
            blit(cr, *keyed, 0, 0, 32, 32, st.x, top + height - 20 - 32 * (i + 1), 1.0);
    }
    cairo_restore(cr);
}

} // namespace

std::vector<uint8_t> contactSheet(const std::vector<ContactItem>& items)
{
    const int pageW = 2100, margin = 16, labelH = 22;
    // Shelf layout: fill rows left to right.
    struct Place { double x, y; };
    std::vector<Place> places;
    double x = margin, y = margin, rowH = 0;
    for (const auto& item : items) {
        const int w = item.picture.width, h = item.picture.height;
        if (x + w > pageW - margin) {
            x = margin;
            y += rowH + labelH + margin;
            rowH = 0;
        }
        places.push_back({x, y});
        x += std::max(w, 190) + margin;
        rowH = std::max<double>(rowH, h);
    }
    const double viewTop = y + rowH + labelH + margin, viewH = 560;
    const int pageH = static_cast<int>(viewTop + viewH);

    Canvas page(pageW, pageH);
    cairo_t* cr = page.cr();
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.2);
    cairo_paint(cr);
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        const Place p = places[i];
        checkerboard(cr, p.x, p.y, item.picture.width, item.picture.height);
        auto keyed = keyedSurface(item);
        cairo_set_source_surface(cr, keyed->surface(), p.x, p.y);
        cairo_paint(cr);
        label(cr, item.name + "  " + std::to_string(item.picture.width) + "x" + std::to_string(item.picture.height),
              p.x, p.y + item.picture.height + 16);
    }
    gameView(cr, items, viewTop, pageW, viewH);
    return encodePng(page);
}

} // namespace assetgen
