/* Preloaded into the game: at the return of every SDL_RenderPresent, the
 * time (CLOCK_MONOTONIC) and the processor time the process has used so far
 * (every thread's, CLOCK_PROCESS_CPUTIME_ID), both in seconds, one line each
 * to the file named by KESTRELON_BENCH_PRESENT_TIMES, written when the
 * process ends. Frame rate, frame times and processor use of any stretch of
 * a session follow from it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef struct SDL_Renderer SDL_Renderer;

static FILE* out;

static double seconds(clockid_t clock)
{
    struct timespec now;
    clock_gettime(clock, &now);
    return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
}

__attribute__((destructor)) static void closeOut(void)
{
    if (out)
        fclose(out);
}

void SDL_RenderPresent(SDL_Renderer* renderer)
{
    static void (*real)(SDL_Renderer*) = NULL;
    if (!real)
        real = (void (*)(SDL_Renderer*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    real(renderer);
    if (!out) {
        const char* path = getenv("KESTRELON_BENCH_PRESENT_TIMES");
        out = path ? fopen(path, "w") : NULL;
        if (!out)
            return;
        /* Buffered well past a minute of frames: no write between frames. */
        setvbuf(out, NULL, _IOFBF, 1 << 22);
    }
    fprintf(out, "%.9f %.9f\n", seconds(CLOCK_MONOTONIC), seconds(CLOCK_PROCESS_CPUTIME_ID));
}
