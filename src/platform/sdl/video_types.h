// The records behind the opaque video handles.
#pragma once
#include "platform/image.h"
#include "platform/video.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <list>
#include <string>
#include <unordered_map>

struct PlatformTexture {
    std::string name;
    KeyedImage image;               // kept so the texture survives a renderer reset
    SDL_Texture* texture = nullptr; // made on first use after a (re)start
};

struct PlatformSurface {
    int width = 0;
    int height = 0;
    bool backBuffer = false;        // the device's own back buffer
    bool target = false;            // an off-screen surface that can be drawn into
    KeyedImage image;               // a plain image surface's pixels
    SDL_Texture* texture = nullptr;
};

struct CachedText {
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    std::list<std::string>::iterator age;
};

struct PlatformFont {
    std::string face;
    int height = 0;
    std::string file;
    TTF_Font* font = nullptr;
    std::unordered_map<std::string, CachedText> cache;   // key: colour + text
    std::list<std::string> ages;                         // most recent first
    std::string lookupKey;                               // scratch for cache lookups
};
