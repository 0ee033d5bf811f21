// Smoke check of the win64 SDL2 libraries, run under Wine by
// packaging/windows/smoke-test.sh: SDL with the offscreen or dummy video
// driver and the disk or dummy audio driver (SDL_VIDEODRIVER, SDL_AUDIODRIVER;
// offscreen and disk unless set), PNG, BMP and TGA files it writes itself read
// back pixel by pixel through SDL_image (on a std::thread, which needs the
// POSIX-threads MinGW runtime), a word drawn with SDL_ttf and then through a
// software renderer, and a WAV file it writes loaded and played through
// SDL_mixer. Prints OK and exits 0, or prints each failed step and exits 1.
//
// Usage: smoke.exe [font.ttf]   (LiberationSans-Regular.ttf by default)
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

int failures = 0;

void fail(const std::string& step, const std::string& why) {
  std::printf("FAILED %s: %s\n", step.c_str(), why.c_str());
  ++failures;
}

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
  std::uint8_t r, g, b, a;
};

// A 3x2 picture with six different pixels, so that a flipped, mirrored or
// channel-swapped load shows; one pixel is half transparent.
constexpr int kWidth = 3, kHeight = 2;
constexpr Rgba kPicture[kHeight][kWidth] = {
    {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}},
    {{255, 255, 0, 255}, {0, 255, 255, 128}, {255, 0, 255, 255}},
};

void put16le(Bytes& out, unsigned v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void put32le(Bytes& out, std::uint32_t v) {
  put16le(out, v & 0xffff);
  put16le(out, v >> 16);
}
void put32be(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xff);
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void pngChunk(Bytes& out, const char* type, const Bytes& data) {
  put32be(out, static_cast<std::uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  put32be(out, crc32(typed.data(), typed.size()));
}

// RGBA, 8 bits a channel, no filtering, the image data in one stored
// (uncompressed) deflate block.
Bytes makePng() {
  Bytes raw;
  for (const auto& row : kPicture) {
    raw.push_back(0);  // filter: none
    for (const Rgba& p : row) raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
  }
  Bytes zlib = {0x78, 0x01, 0x01};  // zlib header; final stored block
  put16le(zlib, static_cast<unsigned>(raw.size()));
  put16le(zlib, ~static_cast<unsigned>(raw.size()) & 0xffff);
  zlib.insert(zlib.end(), raw.begin(), raw.end());
  std::uint32_t a = 1, b = 0;  // Adler-32
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32be(zlib, (b << 16) | a);

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes header;
  put32be(header, kWidth);
  put32be(header, kHeight);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // depth, RGBA, deflate, no filter, no interlace
  pngChunk(png, "IHDR", header);
  pngChunk(png, "IDAT", zlib);
  pngChunk(png, "IEND", {});
  return png;
}

// 24 bits a pixel, rows bottom-up and padded to four bytes: no alpha.
Bytes makeBmp() {
  const unsigned rowSize = (kWidth * 3 + 3) & ~3u;
  const unsigned imageSize = rowSize * kHeight;
  Bytes bmp = {'B', 'M'};
  put32le(bmp, 14 + 40 + imageSize);
  put32le(bmp, 0);
  put32le(bmp, 14 + 40);
  put32le(bmp, 40);  // BITMAPINFOHEADER
  put32le(bmp, kWidth);
  put32le(bmp, kHeight);
  put16le(bmp, 1);
  put16le(bmp, 24);
  put32le(bmp, 0);  // BI_RGB
  put32le(bmp, imageSize);
  put32le(bmp, 2835);
  put32le(bmp, 2835);
  put32le(bmp, 0);
  put32le(bmp, 0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (const Rgba& p : kPicture[y]) bmp.insert(bmp.end(), {p.b, p.g, p.r});
    bmp.resize(bmp.size() + rowSize - kWidth * 3, 0);
  }
  return bmp;
}

// Uncompressed true colour, 32 bits with 8 of alpha, origin bottom left (the
// format's default, which the loader has to flip).
Bytes makeTga() {
  Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0};
  put16le(tga, 0);
  put16le(tga, 0);
  put16le(tga, kWidth);
  put16le(tga, kHeight);
  tga.insert(tga.end(), {32, 0x08});
  for (int y = kHeight - 1; y >= 0; --y)
    for (const Rgba& p : kPicture[y]) tga.insert(tga.end(), {p.b, p.g, p.r, p.a});
  return tga;
}

bool writeFile(const std::string& path, const Bytes& data) {
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "wb");
  if (!file) return false;
  const bool written = SDL_RWwrite(file, data.data(), 1, data.size()) == data.size();
  return SDL_RWclose(file) == 0 && written;
}

// Loads one picture and compares every pixel; returns what went wrong, or "".
std::string checkPicture(const std::string& path, bool hasAlpha) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) return std::string("IMG_Load: ") + IMG_GetError();
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!rgba) return std::string("SDL_ConvertSurfaceFormat: ") + SDL_GetError();
  std::string problem;
  if (rgba->w != kWidth || rgba->h != kHeight) {
    problem = "size " + std::to_string(rgba->w) + "x" + std::to_string(rgba->h);
  } else {
    for (int y = 0; y < kHeight && problem.empty(); ++y)
      for (int x = 0; x < kWidth && problem.empty(); ++x) {
        const auto* got = static_cast<const std::uint8_t*>(rgba->pixels) + y * rgba->pitch + x * 4;
        const Rgba& want = kPicture[y][x];
        const std::uint8_t wantAlpha = hasAlpha ? want.a : 255;
        if (got[0] != want.r || got[1] != want.g || got[2] != want.b || got[3] != wantAlpha) {
          char text[128];
          std::snprintf(text, sizeof text, "pixel (%d,%d) is %d,%d,%d,%d, not %d,%d,%d,%d", x, y, got[0],
                        got[1], got[2], got[3], want.r, want.g, want.b, wantAlpha);
          problem = text;
        }
      }
  }
  SDL_FreeSurface(rgba);
  return problem;
}

void checkImages() {
  const int wanted = IMG_INIT_PNG;
  if ((IMG_Init(wanted) & wanted) != wanted) fail("IMG_Init(PNG)", IMG_GetError());
  struct Case {
    const char* path;
    Bytes data;
    bool hasAlpha;
    std::string problem;
  };
  std::vector<Case> cases = {{"smoke.png", makePng(), true, ""},
                             {"smoke.bmp", makeBmp(), false, ""},
                             {"smoke.tga", makeTga(), true, ""}};
  for (Case& c : cases)
    if (!writeFile(c.path, c.data)) fail(std::string("writing ") + c.path, SDL_GetError());
  // Decoded on a std::thread, as the game loads its data.
  std::thread loader([&cases] {
    for (Case& c : cases) c.problem = checkPicture(c.path, c.hasAlpha);
  });
  loader.join();
  for (const Case& c : cases)
    if (!c.problem.empty()) fail(std::string("IMG_Load ") + c.path, c.problem);
}

// Returns the rendered word, or nullptr.
SDL_Surface* checkFont(const char* fontPath) {
  if (TTF_Init() != 0) {
    fail("TTF_Init", TTF_GetError());
    return nullptr;
  }
  TTF_Font* font = TTF_OpenFont(fontPath, 24);
  if (!font) {
    fail(std::string("TTF_OpenFont ") + fontPath, TTF_GetError());
    return nullptr;
  }
  SDL_Surface* word = TTF_RenderText_Blended(font, "Smoke", SDL_Color{255, 255, 255, 255});
  TTF_CloseFont(font);
  if (!word) {
    fail("TTF_RenderText_Blended", TTF_GetError());
    return nullptr;
  }
  // Glyphs drawn, with anti-aliased edges: covered, uncovered and partly
  // covered pixels all present.
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(word, SDL_PIXELFORMAT_ARGB8888, 0);
  int opaque = 0, partial = 0, clear = 0;
  for (int y = 0; argb && y < argb->h; ++y)
    for (int x = 0; x < argb->w; ++x) {
      const std::uint32_t alpha = static_cast<const std::uint32_t*>(argb->pixels)[y * argb->pitch / 4 + x] >> 24;
      (alpha == 255 ? opaque : alpha == 0 ? clear : partial)++;
    }
  SDL_FreeSurface(argb);
  if (opaque < 20 || partial < 20 || clear < 20)
    fail("TTF_RenderText_Blended", std::to_string(word->w) + "x" + std::to_string(word->h) + " with " +
                                       std::to_string(opaque) + " opaque, " + std::to_string(partial) +
                                       " partly covered, " + std::to_string(clear) + " clear pixels");
  return word;
}

// The word through a window's software renderer and back.
void checkRenderer(SDL_Surface* word) {
  SDL_Window* window = SDL_CreateWindow("smoke", 0, 0, 160, 60, SDL_WINDOW_HIDDEN);
  if (!window) return fail("SDL_CreateWindow", SDL_GetError());
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    SDL_DestroyWindow(window);
    return fail("SDL_CreateRenderer", SDL_GetError());
  }
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, word);
  std::vector<std::uint32_t> pixels(160 * 60);
  if (!texture) {
    fail("SDL_CreateTextureFromSurface", SDL_GetError());
  } else if (SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255) != 0 || SDL_RenderClear(renderer) != 0 ||
             SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0 ||
             SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), 160 * 4) != 0) {
    fail("rendering", SDL_GetError());
  } else {
    int lit = 0;
    for (std::uint32_t p : pixels) lit += (p & 0xffffff) != 0;
    if (lit < 100) fail("rendering", "only " + std::to_string(lit) + " pixels lit by the word");
    SDL_RenderPresent(renderer);
  }
  if (texture) SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
}

// 0.2 s of a square wave, 22050 Hz, 16 bits, mono.
constexpr int kWavRate = 22050, kWavSamples = kWavRate / 5, kWavAmplitude = 8000;

Bytes makeWav() {
  Bytes wav = {'R', 'I', 'F', 'F'};
  put32le(wav, 36 + kWavSamples * 2);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32le(wav, 16);
  put16le(wav, 1);  // PCM
  put16le(wav, 1);
  put32le(wav, kWavRate);
  put32le(wav, kWavRate * 2);
  put16le(wav, 2);
  put16le(wav, 16);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  put32le(wav, kWavSamples * 2);
  for (int i = 0; i < kWavSamples; ++i) put16le(wav, static_cast<std::uint16_t>((i / 50) % 2 ? kWavAmplitude : -kWavAmplitude));
  return wav;
}

void checkAudio(bool diskDriver, const char* diskFile) {
  if (Mix_OpenAudio(kWavRate, AUDIO_S16SYS, 1, 512) != 0) return fail("Mix_OpenAudio", Mix_GetError());
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  if (!writeFile("smoke.wav", makeWav())) fail("writing smoke.wav", SDL_GetError());
  Mix_Chunk* chunk = Mix_LoadWAV("smoke.wav");
  if (!chunk) {
    fail("Mix_LoadWAV", Mix_GetError());
  } else {
    // Converted to the device's format: the length must follow.
    const double expected = double(kWavSamples) * rate / kWavRate * channels * SDL_AUDIO_BITSIZE(format) / 8;
    if (chunk->alen < expected * 0.98 || chunk->alen > expected * 1.02)
      fail("Mix_LoadWAV", std::to_string(chunk->alen) + " bytes, not about " + std::to_string(int(expected)));
    // Played to the end by the mixing thread.
    if (Mix_PlayChannel(-1, chunk, 0) < 0) {
      fail("Mix_PlayChannel", Mix_GetError());
    } else {
      const Uint32 start = SDL_GetTicks();
      while (Mix_Playing(-1) != 0 && SDL_GetTicks() - start < 10000) SDL_Delay(10);
      if (Mix_Playing(-1) != 0) fail("Mix_PlayChannel", "0.2 s of sound still playing after 10 s");
    }
  }
  Mix_CloseAudio();  // the disk driver's file is complete from here on
  if (chunk) Mix_FreeChunk(chunk);
  if (!diskDriver || !chunk) return;
  // The square wave must have reached the disk driver's file.
  if (format != AUDIO_S16SYS) return fail("disk audio", "device format is not 16-bit");
  SDL_RWops* raw = SDL_RWFromFile(diskFile, "rb");
  if (!raw) return fail("disk audio", std::string("no ") + diskFile);
  std::int16_t samples[4096];
  std::size_t read = 0, loud = 0;
  while ((read = SDL_RWread(raw, samples, sizeof samples[0], 4096)) > 0)
    for (std::size_t i = 0; i < read; ++i) loud += samples[i] >= kWavAmplitude / 2 || samples[i] <= -kWavAmplitude / 2;
  SDL_RWclose(raw);
  if (loud < std::size_t(kWavSamples) / 2)
    fail("disk audio", std::to_string(loud) + " loud samples in " + diskFile + ", not the square wave");
}

}  // namespace

int main(int argc, char* argv[]) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const char* fontPath = argc > 1 ? argv[1] : "LiberationSans-Regular.ttf";
  // Defaults that the environment may override (SDL reads these at SDL_Init
  // and Mix_OpenAudio).
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SDL_setenv("SDL_AUDIODRIVER", "disk", 0);
  SDL_setenv("SDL_DISKAUDIOFILE", "smoke-audio.raw", 0);

  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0) {
    fail("SDL_Init", SDL_GetError());
    return 1;
  }
  const std::string audioDriver = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
  std::printf("SDL %d.%d.%d, video driver %s, audio driver %s\n", SDL_MAJOR_VERSION, SDL_MINOR_VERSION,
              SDL_PATCHLEVEL, SDL_GetCurrentVideoDriver(), audioDriver.c_str());

  checkImages();
  SDL_Surface* word = checkFont(fontPath);
  if (word) {
    checkRenderer(word);
    SDL_FreeSurface(word);
  }
  checkAudio(audioDriver == "disk", SDL_getenv("SDL_DISKAUDIOFILE"));

  TTF_Quit();
  IMG_Quit();
  SDL_Quit();
  if (failures) return 1;
  std::printf("OK\n");
  return 0;
}
