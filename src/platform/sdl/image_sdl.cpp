// Decoding pictures through SDL_image; no video subsystem is needed for this.
#include "platform/image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// SDL_image reads an uncompressed TGA that ends early without complaint,
// filling the rest with nothing; a damaged file must fail instead.
bool tgaComplete(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return true;   // IMG_Load reports the missing file
    unsigned char header[18] = {};
    size_t read = std::fread(header, 1, sizeof header, file);
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    if (read != sizeof header) {
        error = "the TGA header is cut short";
        return false;
    }
    const int imageType = header[2];
    if (imageType != 1 && imageType != 2 && imageType != 3)
        return true;   // run-length encoded: its length cannot be told from the header
    const long colourMapBytes = header[1] ? (header[5] | header[6] << 8) * ((header[7] + 7) / 8) : 0;
    const long width = header[12] | header[13] << 8;
    const long height = header[14] | header[15] << 8;
    const long pixelBytes = width * height * ((header[16] + 7) / 8);
    if (size < 18 + header[0] + colourMapBytes + pixelBytes) {
        error = "the TGA file is cut short";
        return false;
    }
    return true;
}

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
bool convertPlainPixels(const SDL_Surface* surface, uint32_t colourKey, uint32_t alpha, uint32_t* out,
                        int rowTexels)
{
    const SDL_PixelFormat* format = surface->format;
    const int bytes = format->BytesPerPixel;
    if ((bytes != 3 && bytes != 4) || format->palette || SDL_ISPIXELFORMAT_FOURCC(format->format))
        return false;
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
        if (format->format == SDL_PIXELFORMAT_BGR24)   // 24-bit BMP: blue, green, red
            convertRow<3>(in, row, surface->w, colourKey, alpha,
                          [](const uint8_t* p) { return 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]; });
        else if (format->format == SDL_PIXELFORMAT_ARGB8888)   // 32-bit TGA: already ours
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
    return true;
}

// A file as SDL_image decoded it (its own layout), or why it could not.
struct Decoded {
    SDL_Surface* surface = nullptr;
    std::string error;
};

Decoded readPicture(const std::string& path)
{
    Decoded decoded;
    if (endsWith(path, ".tga") && !tgaComplete(path, decoded.error))
        return decoded;
    decoded.surface = IMG_Load(path.c_str());
    if (!decoded.surface)
        decoded.error = IMG_GetError();
    return decoded;
}

// The pictures read ahead, in the order asked, by one thread.
struct Preloads {
    std::mutex lock;
    std::condition_variable ready;
    std::vector<std::string> paths;
    std::vector<Decoded> decoded;
    std::vector<bool> done;
    std::vector<bool> taken;
    std::thread reader;
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

} // namespace

void preloadImages(const std::vector<std::string>& paths)
{
    discardPreloadedImages();
    preloads.paths = paths;
    preloads.decoded.assign(paths.size(), Decoded{});
    preloads.done.assign(paths.size(), false);
    preloads.taken.assign(paths.size(), false);
    preloads.reader = std::thread([] {
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
        if (decoded.surface)
            SDL_FreeSurface(decoded.surface);
    preloads.paths.clear();
    preloads.decoded.clear();
    preloads.done.clear();
    preloads.taken.clear();
}

bool decodeKeyedImage(const std::string& path, uint32_t colourKey, bool opaque, const ImageDestination& into,
                      std::string& error)
{
    Decoded decoded;
    if (!takePreloaded(path, decoded))
        decoded = readPicture(path);
    SDL_Surface* loaded = decoded.surface;
    if (!loaded) {
        error = decoded.error;
        return false;
    }
    const uint32_t alpha = opaque ? 0xFF000000u : 0u;
    int rowTexels = 0;
    uint32_t* out = into.rows(into.context, loaded->w, loaded->h, rowTexels);
    if (!out) {
        error = "no memory for a picture of " + std::to_string(loaded->w) + " x " + std::to_string(loaded->h);
        SDL_FreeSurface(loaded);
        return false;
    }
    SDL_LockSurface(loaded);
    bool converted = convertPlainPixels(loaded, colourKey, alpha, out, rowTexels);
    SDL_UnlockSurface(loaded);
    if (converted) {
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
