// Decoding pictures through SDL_image; no video subsystem is needed for this.
#include "platform/image.h"
#include "platform/sdl/libraries_on_demand.h"

#include <SDL.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool endsWith(const std::string& text, const char* suffix)
{
    size_t length = std::char_traits<char>::length(suffix);
    return text.size() >= length && SDL_strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

// One row of `width` pixels to ARGB, the key made transparent (or black
// and opaque). `Pixel` reads one pixel at a given byte address.
template <int Bytes, typename Pixel>
void convertRow(const uint8_t* in, uint32_t* out, int width, uint32_t colourKey, uint32_t alpha, Pixel pixel)
{
    for (int x = 0; x < width; ++x, in += Bytes) {
        const uint32_t texel = pixel(in);
        out[x] = (texel == colourKey ? 0u : texel) | alpha;
    }
}

// 24- and 32-bit pixels with plain channel masks (every BMP, PNG and TGA the
// game ships) are converted and keyed in one pass; anything else goes
// through SDL's converter first.
bool plainPixels(const SDL_Surface* surface)
{
    const SDL_PixelFormat* format = surface->format;
    const int bytes = format->BytesPerPixel;
    return (bytes == 3 || bytes == 4) && !format->palette && !SDL_ISPIXELFORMAT_FOURCC(format->format);
}

void convertPlainPixels(const SDL_Surface* surface, uint32_t colourKey, uint32_t alpha, uint32_t* out, int rowTexels)
{
    const SDL_PixelFormat* format = surface->format;
    const int bytes = format->BytesPerPixel;
    auto channel = [](uint32_t value, uint32_t mask, uint8_t shift, uint8_t loss) {
        return (((value & mask) >> shift) << loss) & 0xFFu;
    };
    auto anyMasks = [&](uint32_t value) {
        const uint32_t a = format->Amask ? channel(value, format->Amask, format->Ashift, format->Aloss) : 0xFFu;
        return a << 24 | channel(value, format->Rmask, format->Rshift, format->Rloss) << 16
               | channel(value, format->Gmask, format->Gshift, format->Gloss) << 8
               | channel(value, format->Bmask, format->Bshift, format->Bloss);
    };
    for (int y = 0; y < surface->h; ++y) {
        const uint8_t* in = static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        uint32_t* row = out + static_cast<size_t>(y) * rowTexels;
        // The layouts the game's files decode to get a loop of their own.
        if (format->format == SDL_PIXELFORMAT_BGR24)   // 24 bits: blue, green, red
            convertRow<3>(in, row, surface->w, colourKey, alpha,
                          [](const uint8_t* p) { return 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]; });
        else if (format->format == SDL_PIXELFORMAT_ARGB8888)   // as 32-bit TGA: already ours
            convertRow<4>(in, row, surface->w, colourKey, alpha, [](const uint8_t* p) {
                uint32_t texel;
                std::memcpy(&texel, p, 4);
                return texel;
            });
        else if (format->format == SDL_PIXELFORMAT_ABGR8888)   // PNG: red, green, blue, alpha
            convertRow<4>(in, row, surface->w, colourKey, alpha, [](const uint8_t* p) {
                return static_cast<uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2];
            });
        else if (bytes == 3)
            convertRow<3>(in, row, surface->w, colourKey, alpha,
                          [&](const uint8_t* p) { return anyMasks(p[0] | p[1] << 8 | p[2] << 16); });
        else
            convertRow<4>(in, row, surface->w, colourKey, alpha, [&](const uint8_t* p) {
                return anyMasks(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
            });
    }
}

// The pictures the game ships uncompressed (24-bit BMP, 32-bit TGA with
// alpha) need no decoding: their texels are converted from the file's own
// bytes into the texture. Rows run top to bottom, `rowStep` bytes apart.
struct FilePixels {
    const uint8_t* topRow = nullptr;
    ptrdiff_t rowStep = 0;
    int width = 0;
    int height = 0;
    bool bgra = false;   // four bytes a texel, B G R A; else three, B G R
};

uint32_t little16(const uint8_t* at) { return at[0] | at[1] << 8; }
uint32_t little32(const uint8_t* at) { return little16(at) | little16(at + 2) << 16; }

enum class Layout { Other, Taken, CutShort };

Layout bmpPixels(const uint8_t* bytes, size_t size, FilePixels& pixels)
{
    if (size < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        return Layout::Other;
    const uint32_t offset = little32(bytes + 10);
    const uint32_t headerSize = little32(bytes + 14);
    const auto width = static_cast<int32_t>(little32(bytes + 18));
    const auto height = static_cast<int32_t>(little32(bytes + 22));
    // Uncompressed, one plane, 24 bits; a positive height is stored bottom row first.
    if (headerSize < 40 || little16(bytes + 26) != 1 || little16(bytes + 28) != 24 || little32(bytes + 30) != 0
        || width <= 0 || width > 32768 || height == 0 || height < -32768 || height > 32768)
        return Layout::Other;
    const int rows = height < 0 ? -height : height;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (offset < 14 + headerSize || offset > size || size - offset < stride * rows)
        return Layout::CutShort;
    pixels.width = width;
    pixels.height = rows;
    pixels.bgra = false;
    const uint8_t* first = bytes + offset;
    pixels.topRow = height < 0 ? first : first + stride * (rows - 1);
    pixels.rowStep = height < 0 ? static_cast<ptrdiff_t>(stride) : -static_cast<ptrdiff_t>(stride);
    return Layout::Taken;
}

Layout tgaPixels(const uint8_t* bytes, size_t size, FilePixels& pixels)
{
    if (size < 18)
        return Layout::CutShort;
    const uint8_t* header = bytes;
    // SDL_image reads an uncompressed TGA that ends early without complaint,
    // filling the rest with nothing; a damaged file must fail instead. (A
    // run-length encoded one's length cannot be told from its header.)
    const int imageType = header[2];
    if (imageType != 1 && imageType != 2 && imageType != 3)
        return Layout::Other;
    const size_t colourMapBytes = header[1] ? little16(header + 5) * ((header[7] + 7) / 8) : 0;
    const int width = static_cast<int>(little16(header + 12));
    const int height = static_cast<int>(little16(header + 14));
    const size_t first = 18 + header[0] + colourMapBytes;
    const size_t stride = static_cast<size_t>(width) * ((header[16] + 7) / 8);
    if (size < first + stride * height)
        return Layout::CutShort;
    // True colour, 32 bits with 8 of alpha, no colour map, left to right.
    const uint8_t descriptor = header[17];
    if (imageType != 2 || header[1] != 0 || header[16] != 32 || (descriptor & 0x0F) != 8 || (descriptor & 0x10)
        || width == 0 || height == 0)
        return Layout::Other;
    const bool topFirst = descriptor & 0x20;
    pixels.width = width;
    pixels.height = height;
    pixels.bgra = true;
    pixels.topRow = bytes + first + (topFirst ? 0 : stride * (height - 1));
    pixels.rowStep = topFirst ? static_cast<ptrdiff_t>(stride) : -static_cast<ptrdiff_t>(stride);
    return Layout::Taken;
}

// A picture read: its file's pixels (the file stays mapped until they are
// converted), or what SDL_image decoded, or why it could not be had.
struct Decoded {
    void* mapping = nullptr;
    size_t mappingSize = 0;
    FilePixels pixels;
    SDL_Surface* surface = nullptr;
    std::string error;
};

void letGo(Decoded& decoded)
{
    if (decoded.mapping)
        munmap(decoded.mapping, decoded.mappingSize);
    if (decoded.surface)
        SDL_FreeSurface(decoded.surface);
    decoded = Decoded{};
}

// The file is mapped, not read: the shipped pictures' texels are taken
// from the page cache's own pages, and SDL_image decodes the rest from
// there, with no stdio buffer and no copy of the file in between.
Decoded readPicture(const std::string& path)
{
    Decoded decoded;
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        decoded.error = std::strerror(errno);
        return decoded;
    }
    struct stat info {};
    void* bytes = MAP_FAILED;
    if (fstat(descriptor, &info) == 0 && info.st_size > 0)
        bytes = mmap(nullptr, info.st_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    const int mapError = errno;
    close(descriptor);
    if (bytes == MAP_FAILED) {
        decoded.error = info.st_size == 0 ? "the file is empty" : std::strerror(mapError);
        return decoded;
    }
    decoded.mapping = bytes;
    decoded.mappingSize = static_cast<size_t>(info.st_size);
    const auto* file = static_cast<const uint8_t*>(bytes);
    const bool tga = endsWith(path, ".tga");
    switch (tga ? tgaPixels(file, decoded.mappingSize, decoded.pixels) : bmpPixels(file, decoded.mappingSize, decoded.pixels)) {
    case Layout::Taken:
        return decoded;
    case Layout::CutShort:
        letGo(decoded);
        decoded.error = tga ? "the TGA file is cut short" : "the BMP file is cut short";
        return decoded;
    case Layout::Other:
        break;
    }
    const ImageLibrary* image = imageLibrary();
    const char* dot = SDL_strrchr(path.c_str(), '.');
    SDL_Surface* surface =
        image ? image->loadTypedRw(SDL_RWFromConstMem(bytes, static_cast<int>(decoded.mappingSize)), 1, dot ? dot + 1 : "")
              : nullptr;
    letGo(decoded);
    decoded.surface = surface;
    if (!surface)
        decoded.error = image ? SDL_GetError() : "no SDL_image to decode it";
    return decoded;
}

// The file's texels into `out`, keyed, as convertPlainPixels does with SDL_image's.
void convertFilePixels(const FilePixels& pixels, uint32_t colourKey, uint32_t alpha, uint32_t* out, int rowTexels)
{
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* in = pixels.topRow + y * pixels.rowStep;
        uint32_t* row = out + static_cast<size_t>(y) * rowTexels;
        if (pixels.bgra)
            convertRow<4>(in, row, pixels.width, colourKey, alpha, [](const uint8_t* p) {
                uint32_t texel;
                std::memcpy(&texel, p, 4);
                return texel;
            });
        else
            convertRow<3>(in, row, pixels.width, colourKey, alpha,
                          [](const uint8_t* p) { return 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]; });
    }
}

// The pictures read ahead, in the order asked, by one thread.
struct Preloads {
    std::mutex lock;
    std::condition_variable ready;
    std::vector<std::string> paths;
    std::vector<Decoded> decoded;
    std::vector<bool> done;
    std::vector<bool> taken;
    // A jthread: should a library end the process with exit() (Xlib does when
    // the display goes away), a thread not yet joined is joined, not an abort.
    std::jthread reader;
};

Preloads preloads;

// The preloaded picture of `path`, waited for; false when it was not asked
// to be preloaded.
bool takePreloaded(const std::string& path, Decoded& decoded)
{
    std::unique_lock<std::mutex> guard(preloads.lock);
    for (size_t i = 0; i < preloads.paths.size(); ++i) {
        if (preloads.paths[i] != path || preloads.taken[i])
            continue;
        preloads.ready.wait(guard, [&] { return static_cast<bool>(preloads.done[i]); });
        decoded = preloads.decoded[i];
        preloads.decoded[i] = Decoded{};
        preloads.taken[i] = true;
        return true;
    }
    return false;
}

Decoded takeOrRead(const std::string& path)
{
    Decoded decoded;
    if (!takePreloaded(path, decoded))
        decoded = readPicture(path);
    return decoded;
}

// Converts and keys what was read into the destination, and lets it go.
bool convertDecoded(Decoded decoded, uint32_t colourKey, bool opaque, const ImageDestination& into, std::string& error)
{
    if (!decoded.mapping && !decoded.surface) {
        error = decoded.error;
        return false;
    }
    const uint32_t alpha = opaque ? 0xFF000000u : 0u;
    const int width = decoded.mapping ? decoded.pixels.width : decoded.surface->w;
    const int height = decoded.mapping ? decoded.pixels.height : decoded.surface->h;
    int rowTexels = 0;
    uint32_t* out = into.rows(into.context, width, height, rowTexels);
    if (!out) {
        error = "no memory for a picture of " + std::to_string(width) + " x " + std::to_string(height);
        letGo(decoded);
        return false;
    }
    if (decoded.mapping) {
        convertFilePixels(decoded.pixels, colourKey, alpha, out, rowTexels);
        letGo(decoded);
        return true;
    }
    SDL_Surface* loaded = decoded.surface;
    if (plainPixels(loaded)) {
        SDL_LockSurface(loaded);
        convertPlainPixels(loaded, colourKey, alpha, out, rowTexels);
        SDL_UnlockSurface(loaded);
        SDL_FreeSurface(loaded);
        return true;
    }
    // Palettes and odd layouts: SDL's converter first, then the key.
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) {
        error = SDL_GetError();
        return false;
    }
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        uint32_t* to = out + static_cast<size_t>(y) * rowTexels;
        for (int x = 0; x < argb->w; ++x)
            to[x] = (row[x] == colourKey ? 0u : row[x]) | alpha;
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

} // namespace

void preloadImages(const std::vector<std::string>& paths)
{
    discardPreloadedImages();
    preloads.paths = paths;
    preloads.decoded.assign(paths.size(), Decoded{});
    preloads.done.assign(paths.size(), false);
    preloads.taken.assign(paths.size(), false);
    preloads.reader = std::jthread([] {
        for (size_t i = 0; i < preloads.paths.size(); ++i) {
            Decoded decoded = readPicture(preloads.paths[i]);
            std::lock_guard<std::mutex> guard(preloads.lock);
            preloads.decoded[i] = decoded;
            preloads.done[i] = true;
            preloads.ready.notify_all();
        }
    });
}

void discardPreloadedImages()
{
    if (preloads.reader.joinable())
        preloads.reader.join();
    for (Decoded& decoded : preloads.decoded)
        letGo(decoded);
    preloads.paths.clear();
    preloads.decoded.clear();
    preloads.done.clear();
    preloads.taken.clear();
}


// What SDL_image decoded is kept; a file whose pixels are taken as they are
// is let go and read again when converted, so that it may change or go in
// the meantime without harm (a mapped file cut short would end the game).
struct CheckedImage {
    std::string path;
    Decoded decoded;
};

CheckedImage* checkImage(const std::string& path, std::string& error)
{
    Decoded decoded = takeOrRead(path);
    if (!decoded.mapping && !decoded.surface) {
        error = decoded.error;
        return nullptr;
    }
    if (decoded.mapping)
        letGo(decoded);
    return new CheckedImage{path, decoded};
}

void releaseCheckedImage(CheckedImage* image)
{
    if (!image)
        return;
    letGo(image->decoded);
    delete image;
}

bool convertCheckedImage(CheckedImage* image, uint32_t colourKey, bool opaque, const ImageDestination& into,
                         std::string& error)
{
    Decoded decoded = image->decoded;
    const std::string path = image->path;
    delete image;
    if (!decoded.surface)
        decoded = readPicture(path);
    return convertDecoded(decoded, colourKey, opaque, into, error);
}

bool decodeKeyedImage(const std::string& path, uint32_t colourKey, bool opaque, const ImageDestination& into,
                      std::string& error)
{
    return convertDecoded(takeOrRead(path), colourKey, opaque, into, error);
}


bool loadKeyedImage(const std::string& path, uint32_t colourKey, KeyedImage& out, std::string& error)
{
    ImageDestination into;
    into.context = &out;
    into.rows = [](void* context, int width, int height, int& rowTexels) {
        auto& image = *static_cast<KeyedImage*>(context);
        image.width = width;
        image.height = height;
        image.argb.resize(static_cast<size_t>(width) * height);
        rowTexels = width;
        return image.argb.data();
    };
    return decodeKeyedImage(path, colourKey, false, into, error);
}
