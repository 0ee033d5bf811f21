// The fonts' cache files. Both kinds are only ever a shortcut: anything
// missing, stale or damaged is asked for or made again, and written anew.
#include "platform/sdl/font_cache.h"
#include "platform/sdl/libraries_on_demand.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string folderFromEnvironment(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    if (value && *value == '/')
        return value;
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + fallbackUnderHome : std::string();
}

// The game's own cache folder; empty when there is no home to put it in.
std::string cacheFolder()
{
    const std::string cache = folderFromEnvironment("XDG_CACHE_HOME", "/.cache");
    return cache.empty() ? cache : cache + "/kestrelon";
}

// A new file renamed over the old one: a game starting meanwhile reads
// either, never half of one.
void writeCacheFile(const std::string& path, const std::string& contents)
{
    const std::string folder = path.substr(0, path.find_last_of('/'));
    mkdir(folder.substr(0, folder.find_last_of('/')).c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    const std::string temporary = path + "." + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0)
        std::remove(temporary.c_str());
}

bool readCacheFile(const std::string& path, std::string& contents)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    contents.clear();
    char block[65536];
    size_t read;
    while ((read = std::fread(block, 1, sizeof block, file)) > 0)
        contents.append(block, read);
    const bool whole = !std::ferror(file);
    std::fclose(file);
    return whole;
}

// ---------------------------------------------------------------------------
// Fontconfig's matches.

std::string askFontconfig(const char* face)
{
    std::string file;
    const FontconfigLibrary* fc = fontconfigLibrary();
    FcPattern* pattern = fc ? fc->nameParse(reinterpret_cast<const FcChar8*>(face)) : nullptr;
    if (!pattern)
        return file;
    fc->configSubstitute(nullptr, pattern, FcMatchPattern);
    fc->defaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = fc->fontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* path = nullptr;
        if (fc->patternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        fc->patternDestroy(match);
    }
    fc->patternDestroy(pattern);
    return file;
}

// Fontconfig reads its whole configuration (some sixty files) before it
// answers a first question: about a fifth of the game's start-up. Its
// answers are kept with a stamp of the configuration and the fonts they came
// from (the newest change to fontconfig's folders and caches, which
// installing a font or changing the configuration touches), and asked again
// when the stamp differs.
struct FontMatches {
    bool read = false;
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
    m.path = cacheFolder() + "/fonts";
    std::string text;
    if (!readCacheFile(m.path, text))
        return;
    long long stamp = -1;
    if (std::sscanf(text.c_str(), "stamp %lld\n", &stamp) != 1 || stamp != m.stamp)
        return;
    size_t line = text.find('\n');
    while (line != std::string::npos && line + 1 < text.size()) {
        const size_t start = line + 1;
        line = text.find('\n', start);
        const std::string entry = text.substr(start, line == std::string::npos ? std::string::npos : line - start);
        const size_t tab = entry.find('\t');
        if (tab != std::string::npos)
            m.faces.emplace_back(entry.substr(0, tab), entry.substr(tab + 1));
    }
}

void writeFontMatches()
{
    const FontMatches& m = fontMatches;
    if (m.path.empty())
        return;
    std::string text = "stamp " + std::to_string(m.stamp) + "\n";
    for (const auto& [face, path] : m.faces)
        text += face + "\t" + path + "\n";
    writeCacheFile(m.path, text);
}

// ---------------------------------------------------------------------------
// Atlases: a first line naming the format; a line of what the atlas was
// made from, tab-separated: the font file and the height asked for, then
// the libraries' files, each with its size and time; then in the machine's
// own byte order the atlas's width and height, the line skip, the 256
// cells (x, y, w, h, left, advance), the kerning of every pair of drawable
// characters, and one byte of coverage per pixel.

constexpr char kAtlasFormat[] = "kestrelon glyphs 2\n";
constexpr int kCellFields = 6;
constexpr size_t kTableBytes =
    sizeof(int32_t) * (3 + 256 * kCellFields) + sizeof(int16_t) * kDrawableCount * kDrawableCount;
constexpr int kMaxAtlasSide = 8192;

std::string atlasPath(const char* face, int height)
{
    const std::string folder = cacheFolder();
    if (folder.empty())
        return folder;
    std::string name = face;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '-';
    return folder + "/glyphs-" + name + "-" + std::to_string(height);
}

// A file as "path size seconds.nanoseconds"; empty when it is not there.
std::string fileIdentity(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return {};
    return path + " " + std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "."
           + std::to_string(info.st_mtim.tv_nsec);
}

std::string fontPart(const std::string& fontFile, int height)
{
    const std::string identity = fileIdentity(fontFile);
    return identity.empty() ? identity : identity + " height " + std::to_string(height);
}

// The key line kept is still true: the same font file and height, and each
// library file named there unchanged.
bool keyStillHolds(const std::string& key, const std::string& fontFile, int height)
{
    size_t start = key.find('\t');
    if (start == std::string::npos || key.compare(0, start, fontPart(fontFile, height)) != 0)
        return false;
    while (start != std::string::npos) {
        const size_t end = key.find('\t', start + 1);
        const std::string library = key.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        // The path is all but the last two words (size and time).
        const size_t time = library.rfind(' ');
        const size_t size = time == std::string::npos ? time : library.rfind(' ', time - 1);
        if (size == std::string::npos || fileIdentity(library.substr(0, size)) != library)
            return false;
        start = end;
    }
    return true;
}

bool cellFits(const SDL_Rect& cell, int width, int height)
{
    return cell.w >= 0 && cell.h >= 0 && cell.x >= 0 && cell.y >= 0 && cell.x <= width - cell.w
           && cell.y <= height - cell.h;
}

// A glyph's pixels are white with their coverage in alpha; between the
// glyphs the atlas is clear.
constexpr uint32_t kGlyphWhite = 0x00FFFFFFu;

uint32_t* pixelRow(SDL_Surface* surface, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch);
}

// True when the reading would make the very same pixels of `atlas`.
bool atlasReadsBack(const GlyphAtlas& atlas)
{
    SDL_Surface* pixels = atlas.pixels;
    if (pixels->format->format != SDL_PIXELFORMAT_ARGB8888)
        return false;
    std::vector<uint8_t> inCell(static_cast<size_t>(pixels->w) * pixels->h, 0);
    for (const GlyphCell& glyph : atlas.glyphs) {
        const SDL_Rect& cell = glyph.inAtlas;
        if (!cellFits(cell, pixels->w, pixels->h))
            return false;
        for (int y = cell.y; y < cell.y + cell.h; ++y)
            std::memset(&inCell[static_cast<size_t>(y) * pixels->w + cell.x], 1, cell.w);
    }
    for (int y = 0; y < pixels->h; ++y) {
        const uint32_t* row = pixelRow(pixels, y);
        for (int x = 0; x < pixels->w; ++x) {
            const bool glyph = inCell[static_cast<size_t>(y) * pixels->w + x];
            if (glyph ? (row[x] & kGlyphWhite) != kGlyphWhite : row[x] != 0)
                return false;
        }
    }
    return true;
}

void appendInt(std::string& out, int32_t value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); }

int32_t takeInt(const char*& at)
{
    int32_t value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

} // namespace

void resetFontCache() { fontMatches = FontMatches{}; }

std::string matchFontFile(const char* face, bool askAgain)
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
        writeFontMatches();
    }
    return file;
}

bool readKeptAtlas(const char* face, int height, const std::string& fontFile, GlyphAtlas& atlas)
{
    const std::string path = atlasPath(face, height);
    std::string text;
    if (path.empty() || !readCacheFile(path, text) || text.compare(0, sizeof kAtlasFormat - 1, kAtlasFormat) != 0)
        return false;
    const size_t keyStart = sizeof kAtlasFormat - 1;
    const size_t keyEnd = text.find('\n', keyStart);
    if (keyEnd == std::string::npos || !keyStillHolds(text.substr(keyStart, keyEnd - keyStart), fontFile, height))
        return false;
    const size_t head = keyEnd + 1;
    if (text.size() < head + kTableBytes)
        return false;
    const char* at = text.data() + head;
    const int atlasWidth = takeInt(at), atlasHeight = takeInt(at);
    if (atlasWidth <= 0 || atlasHeight <= 0 || atlasWidth > kMaxAtlasSide || atlasHeight > kMaxAtlasSide
        || text.size() != head + kTableBytes + static_cast<size_t>(atlasWidth) * atlasHeight)
        return false;
    GlyphAtlas read;
    read.lineSkip = takeInt(at);
    for (GlyphCell& glyph : read.glyphs) {
        glyph.inAtlas = SDL_Rect{takeInt(at), takeInt(at), takeInt(at), takeInt(at)};
        glyph.left = takeInt(at);
        glyph.advance = takeInt(at);
        if (!cellFits(glyph.inAtlas, atlasWidth, atlasHeight))
            return false;
    }
    std::memcpy(read.kerning.data(), at, sizeof read.kerning);
    at += sizeof read.kerning;
    const auto* coverage = reinterpret_cast<const uint8_t*>(at);
    read.pixels = SDL_CreateRGBSurfaceWithFormat(0, atlasWidth, atlasHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!read.pixels)
        return false;
    for (const GlyphCell& glyph : read.glyphs) {
        const SDL_Rect& cell = glyph.inAtlas;
        for (int y = cell.y; y < cell.y + cell.h; ++y) {
            uint32_t* row = pixelRow(read.pixels, y);
            const uint8_t* alpha = coverage + static_cast<size_t>(y) * atlasWidth;
            for (int x = cell.x; x < cell.x + cell.w; ++x)
                row[x] = static_cast<uint32_t>(alpha[x]) << 24 | kGlyphWhite;
        }
    }
    atlas = read;
    return true;
}

void keepAtlas(const char* face, int height, const std::string& fontFile, const std::string& libraryFiles,
               const GlyphAtlas& atlas)
{
    const std::string path = atlasPath(face, height);
    const std::string font = fontPart(fontFile, height);
    if (path.empty() || font.empty() || libraryFiles.empty() || !atlas.pixels || !atlasReadsBack(atlas))
        return;
    SDL_Surface* pixels = atlas.pixels;
    std::string text = kAtlasFormat + font + "\t" + libraryFiles + "\n";
    text.reserve(text.size() + kTableBytes + static_cast<size_t>(pixels->w) * pixels->h);
    appendInt(text, pixels->w);
    appendInt(text, pixels->h);
    appendInt(text, atlas.lineSkip);
    for (const GlyphCell& glyph : atlas.glyphs)
        for (int value : {glyph.inAtlas.x, glyph.inAtlas.y, glyph.inAtlas.w, glyph.inAtlas.h, glyph.left, glyph.advance})
            appendInt(text, value);
    text.append(reinterpret_cast<const char*>(atlas.kerning.data()), sizeof atlas.kerning);
    for (int y = 0; y < pixels->h; ++y) {
        const uint32_t* row = pixelRow(pixels, y);
        for (int x = 0; x < pixels->w; ++x)
            text += static_cast<char>(row[x] >> 24);
    }
    writeCacheFile(path, text);
}
