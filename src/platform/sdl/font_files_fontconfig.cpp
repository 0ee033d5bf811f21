// Linux's fonts: the file fontconfig matches to a face ("Arial": Liberation
// Sans on Debian; its own cache makes that quick).
#include "platform/sdl/sdl_internal.h"

#include <fontconfig/fontconfig.h>

std::string fontFileFor(const char* face)
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

void forgetFontFiles()
{
    FcFini();   // fontconfig's caches, kept for the whole process otherwise
}
