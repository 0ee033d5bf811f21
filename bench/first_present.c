/* Preloaded into a program under test: the moment of its first
 * SDL_RenderPresent (CLOCK_MONOTONIC, seconds) goes to the file named by
 * KESTRELON_BENCH_PRESENT_FILE, and the process ends there, so start-up is
 * measured up to the first frame a player would see and no further. With
 * KESTRELON_BENCH_RENDERER_FILE, the name of the renderer that frame was
 * drawn with goes there first (SDL_GetRendererInfo's). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Renderer SDL_Renderer;
/* The head of SDL2's SDL_RendererInfo, with room for the rest. */
typedef struct {
    const char* name;
    unsigned flags;
    char rest[128];
} RendererInfo;

static void noteRenderer(SDL_Renderer* renderer)
{
    const char* path = getenv("KESTRELON_BENCH_RENDERER_FILE");
    typedef int (*GetInfo)(SDL_Renderer*, RendererInfo*);
    GetInfo info = (GetInfo)dlsym(RTLD_DEFAULT, "SDL_GetRendererInfo");
    RendererInfo got;
    if (!path || !info || info(renderer, &got) != 0)
        return;
    FILE* f = fopen(path, "w");
    if (f) {
        fprintf(f, "%s\n", got.name ? got.name : "unknown");
        fclose(f);
    }
}

void SDL_RenderPresent(SDL_Renderer* renderer)
{
    static void (*real)(SDL_Renderer*) = NULL;
    if (!real)
        real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    real(renderer);
    noteRenderer(renderer);
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = getenv("KESTRELON_BENCH_PRESENT_FILE");
    if (!path)
        return;
    FILE* f = fopen(path, "w");
    if (f) {
        fprintf(f, "%.9f\n", (double)now.tv_sec + (double)now.tv_nsec * 1e-9);
        fclose(f);
    }
    _exit(0);
}
