// Fonts on SDL2_ttf: the face comes from fontconfig's match; the characters
// are rasterised once into an atlas and texts are drawn from it.
#include "platform/backends.h"
#include "platform/sdl/sdl_internal.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Where a character's picture is in its font's atlas, and how it sits on
// the line: drawn at the pen plus `left`, then the pen moves on by `advance`.
struct GlyphCell {
    SDL_Rect inAtlas{};   // empty when the font has no such character
    int left = 0;
    int advance = 0;
};

struct SdlFont {
    std::string file;
    TTF_Font* font = nullptr;
    int lineSkip = 0;
    std::array<GlyphCell, 256> glyphs{};   // the Latin-1 characters
    SDL_Surface* atlasPixels = nullptr;    // white glyphs, until they are in the texture
    SDL_Texture* atlas = nullptr;          // made on first use, tinted when drawn
};

SdlFont* sdlFont(const PlatformFont* font) { return static_cast<SdlFont*>(font->native); }

std::string askFontconfig(const char* face)
{
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
    if (!pattern)
        return file;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// Fontconfig reads its whole configuration (some sixty files) before it
// answers a first question: about a fifth of the game's start-up. Its
// answers are kept in the user's cache folder, with a stamp of the
// configuration and the fonts they came from (the newest change to
// fontconfig's folders and caches, which installing a font or changing the
// configuration touches), and asked again when the stamp differs.
struct FontMatches {
    bool read = false;
    bool changed = false;
    int64_t stamp = 0;
    std::string path;
    std::vector<std::pair<std::string, std::string>> faces;   // face, file
};

FontMatches fontMatches;

int64_t newestChange(const std::vector<std::string>& paths)
{
    int64_t newest = 0;
    for (const std::string& path : paths) {
        struct stat info;
        if (stat(path.c_str(), &info) == 0)
            newest = std::max<int64_t>(newest, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec);
    }
    return newest;
}

std::string folderFromEnvironment(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    if (value && *value == '/')
        return value;
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + fallbackUnderHome : std::string();
}

void readFontMatches()
{
    FontMatches& m = fontMatches;
    m.read = true;
    // A configuration of one's own (FONTCONFIG_FILE, FONTCONFIG_PATH) is asked every time.
    const std::string cache = folderFromEnvironment("XDG_CACHE_HOME", "/.cache");
    const std::string config = folderFromEnvironment("XDG_CONFIG_HOME", "/.config");
    if (std::getenv("FONTCONFIG_FILE") || std::getenv("FONTCONFIG_PATH") || cache.empty())
        return;
    const char* home = std::getenv("HOME");
    const std::string homeDir = home ? home : "";
    m.stamp = newestChange({"/etc/fonts", "/etc/fonts/fonts.conf", "/etc/fonts/conf.d", "/var/cache/fontconfig",
                            cache + "/fontconfig", config + "/fontconfig", config + "/fontconfig/conf.d",
                            homeDir + "/.fonts.conf", homeDir + "/.fonts.conf.d", homeDir + "/.fonts"});
    m.path = cache + "/kestrelon/fonts";
    std::FILE* file = std::fopen(m.path.c_str(), "r");
    if (!file)
        return;
    char line[4096];
    long long stamp = -1;
    if (std::fgets(line, sizeof line, file) && std::sscanf(line, "stamp %lld", &stamp) == 1 && stamp == m.stamp) {
        while (std::fgets(line, sizeof line, file)) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n')
                text.pop_back();
            const size_t tab = text.find('\t');
            if (tab != std::string::npos)
                m.faces.emplace_back(text.substr(0, tab), text.substr(tab + 1));
        }
    }
    std::fclose(file);
}

void writeFontMatches()
{
    FontMatches& m = fontMatches;
    if (!m.changed || m.path.empty())
        return;
    m.changed = false;
    const size_t slash = m.path.find_last_of('/');
    const std::string folder = m.path.substr(0, slash);
    mkdir(folder.substr(0, folder.find_last_of('/')).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    // A new file renamed over the old one: a game starting meanwhile reads
    // either, never half of one.
    const std::string temporary = m.path + "." + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file)
        return;
    std::fprintf(file, "stamp %lld\n", static_cast<long long>(m.stamp));
    for (const auto& [face, path] : m.faces)
        std::fprintf(file, "%s\t%s\n", face.c_str(), path.c_str());
    if (std::fclose(file) != 0 || std::rename(temporary.c_str(), m.path.c_str()) != 0)
        std::remove(temporary.c_str());
}

// `askAgain`: what was kept could not be opened as a font.
std::string matchFontFile(const char* face, bool askAgain = false)
{
    if (!fontMatches.read)
        readFontMatches();
    for (const auto& [known, file] : fontMatches.faces)
        if (known == face && !askAgain && access(file.c_str(), R_OK) == 0)
            return file;
    std::string file = askFontconfig(face);
    if (!file.empty()) {
        std::erase_if(fontMatches.faces, [&](const auto& entry) { return entry.first == face; });
        fontMatches.faces.emplace_back(face, file);
        fontMatches.changed = true;
        writeFontMatches();
    }
    return file;
}

// The point size whose line height comes closest to the wanted pixel height
// (the smallest such size, between half and one and a half times it). The
// line height grows in proportion to the size, so one measurement tells
// where to look, and only the sizes around that are tried.
void fitHeight(TTF_Font* font, int height)
{
    TTF_SetFontSize(font, height);
    const int measured = TTF_FontHeight(font);
    const int estimate = measured > 0 ? (height * height + measured / 2) / measured : height;
    int best = height, bestError = 1 << 30;
    for (int size = std::max(height / 2, estimate - 3); size <= std::min(height * 3 / 2, estimate + 3); ++size) {
        if (TTF_SetFontSize(font, size) != 0)
            continue;
        int error = std::abs(TTF_FontHeight(font) - height);
        if (error < bestError) {
            best = size;
            bestError = error;
        }
    }
    TTF_SetFontSize(font, best);
}

// Every character the game can draw is rasterised once, in white, into one
// atlas per font; a text is then drawn glyph by glyph, tinted, so a text
// never seen before (a new score) costs no rasterising and no memory.
// The game's strings are in the Windows ANSI code page, but all it ever
// draws is printable ASCII: its own texts, numbers, and names, which the
// score file and the name entry keep to ASCII. Other bytes draw as nothing.
bool drawable(int code) { return code >= 32 && code < 127; }

bool buildAtlas(SdlFont* font)
{
    constexpr int kAtlasWidth = 1024;
    const SDL_Color white{255, 255, 255, 255};
    std::array<SDL_Surface*, 256> cells{};
    int x = 0, y = 0, rowHeight = 0;
    for (int code = 0; code < 256; ++code) {
        GlyphCell& glyph = font->glyphs[code];
        glyph = GlyphCell{};
        if (!drawable(code) || !TTF_GlyphIsProvided32(font->font, code))
            continue;
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (TTF_GlyphMetrics32(font->font, code, &minX, &maxX, &minY, &maxY, &advance) != 0)
            continue;
        glyph.advance = advance;
        // A glyph reaching left of its pen is rendered from its own left edge.
        glyph.left = minX < 0 ? minX : 0;
        SDL_Surface* cell = TTF_RenderGlyph32_Blended(font->font, code, white);
        if (!cell)
            continue;
        if (x + cell->w > kAtlasWidth) {
            x = 0;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        glyph.inAtlas = SDL_Rect{x, y, cell->w, cell->h};
        x += cell->w + 1;
        rowHeight = std::max(rowHeight, cell->h);
        cells[code] = cell;
    }
    font->atlasPixels = SDL_CreateRGBSurfaceWithFormat(0, kAtlasWidth, y + rowHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int code = 0; code < 256; ++code) {
        if (!cells[code])
            continue;
        if (font->atlasPixels) {
            SDL_SetSurfaceBlendMode(cells[code], SDL_BLENDMODE_NONE);
            SDL_BlitSurface(cells[code], nullptr, font->atlasPixels, &font->glyphs[code].inAtlas);
        }
        SDL_FreeSurface(cells[code]);
    }
    return font->atlasPixels != nullptr;
}

// The atlas's texture, made from its pixels on first use, which are then let
// go; after a renderer lost its textures the glyphs are rasterised anew.
SDL_Texture* atlasForDrawing(SdlFont* font)
{
    if (!font->atlas && (font->atlasPixels || buildAtlas(font))) {
        font->atlas = SDL_CreateTextureFromSurface(sdlRenderer(), font->atlasPixels);
        SDL_FreeSurface(font->atlasPixels);
        font->atlasPixels = nullptr;
        if (font->atlas)
            SDL_SetTextureBlendMode(font->atlas, SDL_BLENDMODE_BLEND);
    }
    return font->atlas;
}

void dropAtlasTexture(SdlFont* font)
{
    if (font->atlas)
        SDL_DestroyTexture(font->atlas);
    font->atlas = nullptr;
}

} // namespace

bool sdlFontsStart()
{
    fontMatches = FontMatches{};
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "kestrelon: fonts could not start: %s\n", TTF_GetError());
        return false;
    }
    return true;
}

void sdlFontsStop()
{
    TTF_Quit();
    FcFini();   // fontconfig's caches, kept for the whole process otherwise
}

bool sdlOpenFont(PlatformFont* record)
{
    const char* face = record->face.c_str();
    auto* font = new SdlFont;
    font->file = matchFontFile(face);
    font->font = font->file.empty() ? nullptr : TTF_OpenFont(font->file.c_str(), record->height);
    if (!font->font) {
        font->file = matchFontFile(face, true);
        font->font = font->file.empty() ? nullptr : TTF_OpenFont(font->file.c_str(), record->height);
    }
    if (!font->font) {
        std::fprintf(stderr, "kestrelon: no font for \"%s\": %s\n", face, TTF_GetError());
        delete font;
        return false;
    }
    fitHeight(font->font, record->height);
    font->lineSkip = TTF_FontLineSkip(font->font);
    if (!buildAtlas(font)) {
        std::fprintf(stderr, "kestrelon: cannot draw the characters of \"%s\": %s\n", face, SDL_GetError());
        TTF_CloseFont(font->font);
        delete font;
        return false;
    }
    record->native = font;
    return true;
}

void sdlReleaseFont(PlatformFont* record)
{
    SdlFont* font = sdlFont(record);
    if (!font)
        return;
    dropAtlasTexture(font);
    if (font->atlasPixels)
        SDL_FreeSurface(font->atlasPixels);
    if (font->font)
        TTF_CloseFont(font->font);
    delete font;
    record->native = nullptr;
}

void sdlFontLost(PlatformFont* record)
{
    if (SdlFont* font = sdlFont(record))
        dropAtlasTexture(font);
}

void sdlDrawText(PlatformFont* record, int x, int y, uint32_t argb, std::string_view text)
{
    SdlFont* font = sdlFont(record);
    if (!font || !font->font)
        return;
    SDL_Texture* atlas = atlasForDrawing(font);
    if (!atlas)
        return;
    sdlTargetBackBuffer();
    SDL_SetTextureColorMod(atlas, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    SDL_SetTextureAlphaMod(atlas, argb >> 24);
    bool lineStart = true;
    int penX = x;
    unsigned char previous = 0;
    for (unsigned char code : text) {
        if (code == '\n') {
            y += font->lineSkip;
            lineStart = true;
            continue;
        }
        const GlyphCell& glyph = font->glyphs[code];
        if (lineStart) {
            // As a rendered line does, the first glyph starts right at x.
            penX = x - glyph.left;
            lineStart = false;
        } else if (glyph.advance > 0 && font->glyphs[previous].advance > 0) {
            penX += TTF_GetFontKerningSizeGlyphs32(font->font, previous, code);
        }
        previous = code;
        if (glyph.inAtlas.w > 0) {
            SDL_Rect to{penX + glyph.left, y, glyph.inAtlas.w, glyph.inAtlas.h};
            SDL_RenderCopy(sdlRenderer(), atlas, &glyph.inAtlas, &to);
        }
        penX += glyph.advance;
    }
}
