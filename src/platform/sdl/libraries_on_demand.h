// SDL_ttf, fontconfig and SDL_image, opened when first needed rather than
// when the program starts: a start that finds its fonts in the cache never
// loads SDL_ttf, FreeType, HarfBuzz or fontconfig, and SDL_image (with its
// dozen decoders) is loaded by the thread that reads the pictures. Their
// functions are called through these tables; each is null when its library
// cannot be had (the reason is on stderr).
#pragma once
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <string>

struct TtfLibrary {
    decltype(&TTF_Init) init;
    decltype(&TTF_Quit) quit;
    decltype(&TTF_OpenFont) openFont;
    decltype(&TTF_CloseFont) closeFont;
    decltype(&TTF_SetFontSize) setFontSize;
    decltype(&TTF_FontHeight) fontHeight;
    decltype(&TTF_FontLineSkip) fontLineSkip;
    decltype(&TTF_GlyphIsProvided32) glyphIsProvided;
    decltype(&TTF_GlyphMetrics32) glyphMetrics;
    decltype(&TTF_RenderGlyph32_Blended) renderGlyphBlended;
    decltype(&TTF_GetFontKerningSizeGlyphs32) kerning;
};

struct FontconfigLibrary {
    decltype(&FcNameParse) nameParse;
    decltype(&FcConfigSubstitute) configSubstitute;
    decltype(&FcDefaultSubstitute) defaultSubstitute;
    decltype(&FcFontMatch) fontMatch;
    decltype(&FcPatternGetString) patternGetString;
    decltype(&FcPatternDestroy) patternDestroy;
    decltype(&FcFini) fini;
};

struct ImageLibrary {
    decltype(&IMG_LoadTyped_RW) loadTypedRw;
};

const TtfLibrary* ttfLibrary();
const FontconfigLibrary* fontconfigLibrary();
const ImageLibrary* imageLibrary();

// Whether fontconfig was loaded in this process (to end it).
bool fontconfigLibraryLoaded();

// The files SDL_ttf rasterises with (SDL_ttf, FreeType, HarfBuzz), each
// with its size and time, tab-separated: a glyph atlas is as good as these.
// Empty when SDL_ttf is not loaded.
std::string ttfLibraryFiles();
