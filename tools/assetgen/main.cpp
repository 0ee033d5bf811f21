// kestrelon-assetgen [--out DATA_DIR [--scores-only] [--contact-sheet FILE.png]]
//                    [--icons DIR [--icon-name NAME]]
#include "assetgen.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    assetgen::Options options;
    std::string iconsDir;
    std::string iconName = "kestrelon";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            options.outDir = argv[++i];
        } else if (arg == "--scores-only") {
            options.scoresOnly = true;
        } else if (arg == "--contact-sheet" && i + 1 < argc) {
            options.contactSheet = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc) {
            iconsDir = argv[++i];
        } else if (arg == "--icon-name" && i + 1 < argc) {
            iconName = argv[++i];
        } else {
            std::fprintf(stderr, "kestrelon-assetgen: unknown or incomplete argument '%s' "
                                 "(usage: [--out DATA_DIR [--scores-only] [--contact-sheet FILE.png]] "
                                 "[--icons DIR [--icon-name NAME]])\n",
                         argv[i]);
            return 2;
        }
    }
    if (options.outDir.empty() && iconsDir.empty()) {
        std::fprintf(stderr, "kestrelon-assetgen: --out DATA_DIR or --icons DIR is required\n");
        return 2;
    }
    std::string error;
    bool generated = true;
    if (!options.outDir.empty())
        generated = assetgen::generate(options, error);
    if (generated && !iconsDir.empty())
        generated = assetgen::writeIcons(iconsDir, iconName, error);
    // Hand back the font caches cairo and fontconfig keep for the process, so
    // leak checks see only our own memory.
    cairo_debug_reset_static_data();
    FcFini();
    if (!generated) {
        std::fprintf(stderr, "kestrelon-assetgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
