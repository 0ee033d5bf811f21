// Loading SDL_ttf, fontconfig and SDL_image by their shared objects' names
// (their sonames: stable for the whole SDL2_ttf 2, SDL2_image 2 and
// fontconfig 1 series).
#include "platform/sdl/libraries_on_demand.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <sys/stat.h>

namespace {

template <typename Function>
bool find(void* handle, Function& function, const char* name)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

// Opens `soname` and lets `bind` find its functions; says why not on stderr.
template <typename Bind>
bool open(const char* soname, const char* what, Bind bind)
{
    void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "kestrelon: no %s: %s\n", what, dlerror());
        return false;
    }
    if (!bind(handle)) {
        std::fprintf(stderr, "kestrelon: %s lacks a function the game uses\n", what);
        return false;
    }
    return true;
}

std::once_flag ttfOnce, fontconfigOnce, imageOnce;
TtfLibrary ttf;
FontconfigLibrary fontconfig;
ImageLibrary image;
bool ttfLoaded = false, fontconfigLoaded = false, imageLoaded = false;

} // namespace

const TtfLibrary* ttfLibrary()
{
    std::call_once(ttfOnce, [] {
        ttfLoaded = open("libSDL2_ttf-2.0.so.0", "SDL_ttf", [](void* h) {
            return find(h, ttf.init, "TTF_Init") && find(h, ttf.quit, "TTF_Quit")
                   && find(h, ttf.openFont, "TTF_OpenFont") && find(h, ttf.closeFont, "TTF_CloseFont")
                   && find(h, ttf.setFontSize, "TTF_SetFontSize") && find(h, ttf.fontHeight, "TTF_FontHeight")
                   && find(h, ttf.fontLineSkip, "TTF_FontLineSkip")
                   && find(h, ttf.glyphIsProvided, "TTF_GlyphIsProvided32")
                   && find(h, ttf.glyphMetrics, "TTF_GlyphMetrics32")
                   && find(h, ttf.renderGlyphBlended, "TTF_RenderGlyph32_Blended")
                   && find(h, ttf.kerning, "TTF_GetFontKerningSizeGlyphs32");
        });
    });
    return ttfLoaded ? &ttf : nullptr;
}

const FontconfigLibrary* fontconfigLibrary()
{
    std::call_once(fontconfigOnce, [] {
        fontconfigLoaded = open("libfontconfig.so.1", "fontconfig", [](void* h) {
            return find(h, fontconfig.nameParse, "FcNameParse")
                   && find(h, fontconfig.configSubstitute, "FcConfigSubstitute")
                   && find(h, fontconfig.defaultSubstitute, "FcDefaultSubstitute")
                   && find(h, fontconfig.fontMatch, "FcFontMatch")
                   && find(h, fontconfig.patternGetString, "FcPatternGetString")
                   && find(h, fontconfig.patternDestroy, "FcPatternDestroy") && find(h, fontconfig.fini, "FcFini");
        });
    });
    return fontconfigLoaded ? &fontconfig : nullptr;
}

const ImageLibrary* imageLibrary()
{
    std::call_once(imageOnce, [] {
        imageLoaded = open("libSDL2_image-2.0.so.0", "SDL_image", [](void* h) {
            return find(h, image.loadTypedRw, "IMG_LoadTyped_RW");
        });
    });
    return imageLoaded ? &image : nullptr;
}

bool fontconfigLibraryLoaded() { return fontconfigLoaded; }

std::string ttfLibraryFiles()
{
    if (!ttfLoaded)
        return {};
    std::string files;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const char* path = info->dlpi_name;
            const char* name = path ? std::strrchr(path, '/') : nullptr;
            if (!name)
                return 0;
            for (const char* library : {"/libSDL2_ttf-", "/libfreetype.", "/libharfbuzz."}) {
                struct stat status;
                if (std::strncmp(name, library, std::strlen(library)) == 0 && stat(path, &status) == 0) {
                    auto& out = *static_cast<std::string*>(data);
                    out += std::string(out.empty() ? "" : "\t") + path + " " + std::to_string(status.st_size) + " "
                           + std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec);
                }
            }
            return 0;
        },
        &files);
    return files;
}
