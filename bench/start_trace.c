/* Preloaded into an SDL program: where its start-up goes, call by call, up
 * to its first SDL_RenderPresent, where it ends the process. For finding
 * what to take out of the game's start-up, not for a figure of run.sh.
 *
 *   LD_PRELOAD=build/bench/libkestrelon-bench-start-trace.so \
 *   KESTRELON_START_TRACE=trace.txt ./kestrelon
 *
 * SDL's functions the program calls are wrapped by name; the ones found
 * through dlsym (Xlib, GLX, SDL_ttf, SDL_image, SDL_mixer, fontconfig, as SDL
 * and the game open them) and the GL ones found through glXGetProcAddress
 * are wrapped where they are looked up, since a preload alone never reaches
 * them. Times in ms from this library's constructor, which runs once the
 * program's own libraries are loaded. Writes a line per call of 0.3 ms or
 * more (start, duration, thread, name), then a line per name: calls, total,
 * the first call's start and the last one's end. With
 * KESTRELON_START_TRACE_TEXTURES set, a line per SDL_CreateTexture with its
 * size and access. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

static double t0;
static FILE* out;
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec * 1e-6;
}

__attribute__((constructor)) static void begin(void)
{
    t0 = now();
    const char* path = getenv("KESTRELON_START_TRACE");
    out = path ? fopen(path, "w") : NULL;
    if (!out)
        out = stderr;
    fprintf(out, "# start (monotonic ms) %.3f\n", t0);
}

enum { kMaxNames = 128 };
static struct {
    const char* name;
    int count;
    double total, firstStart, lastEnd;
} totals[kMaxNames];

static void note(const char* name, double start)
{
    double end = now();
    pthread_mutex_lock(&lock);
    int i = 0;
    while (i < kMaxNames && totals[i].name && strcmp(totals[i].name, name) != 0)
        ++i;
    if (i < kMaxNames) {
        if (!totals[i].name)
            totals[i].firstStart = start - t0;
        totals[i].name = name;
        totals[i].lastEnd = end - t0;
        ++totals[i].count;
        totals[i].total += end - start;
    }
    if (end - start >= 0.3)
        fprintf(out, "%9.2f %8.2f t%ld %s\n", start - t0, end - start, (long)syscall(SYS_gettid), name);
    pthread_mutex_unlock(&lock);
}

static void summary(void)
{
    pthread_mutex_lock(&lock);
    fprintf(out, "# totals up to the first present at %.2f ms\n", now() - t0);
    for (int i = 0; i < kMaxNames && totals[i].name; ++i)
        fprintf(out, "# %-32s %5d calls %9.2f ms first %9.2f last-end %9.2f\n", totals[i].name, totals[i].count,
                totals[i].total, totals[i].firstStart, totals[i].lastEnd);
    fflush(out);
    pthread_mutex_unlock(&lock);
}

static void* (*realDlsym)(void*, const char*);
static void* lookUp(void* handle, const char* name)
{
    if (!realDlsym)
        realDlsym = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
    if (!realDlsym)
        realDlsym = (void* (*)(void*, const char*))dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
    return realDlsym(handle, name);
}

/* W(name, return type, (params), (args)) defines a wrapper and its real. */
#define W(R, name, params, args) \
    static R(*real_##name) params; \
    static R wrap_##name params \
    { \
        double s_ = now(); \
        R r_ = real_##name args; \
        note(#name, s_); \
        return r_; \
    }
#define WV(name, params, args) \
    static void(*real_##name) params; \
    static void wrap_##name params \
    { \
        double s_ = now(); \
        real_##name args; \
        note(#name, s_); \
    }

typedef void* P;
typedef unsigned long XID;
W(XID, XCreateWindow,
  (P d, XID p, int x, int y, unsigned w, unsigned h, unsigned b, int de, unsigned c, P v, unsigned long m, P a),
  (d, p, x, y, w, h, b, de, c, v, m, a))
W(int, XMapRaised, (P d, XID w), (d, w))
W(int, XMapWindow, (P d, XID w), (d, w))
W(int, XDestroyWindow, (P d, XID w), (d, w))
W(int, XUnmapWindow, (P d, XID w), (d, w))
W(int, XSync, (P d, int b), (d, b))
W(int, XIfEvent, (P d, P e, P f, P a), (d, e, f, a))
W(P, XOpenDisplay, (const char* n), (n))
W(P, XOpenIM, (P d, P r, char* a, char* b), (d, r, a, b))
W(P, glXChooseVisual, (P d, int s, int* a), (d, s, a))
W(P, glXChooseFBConfig, (P d, int s, const int* a, int* n), (d, s, a, n))
W(P, glXCreateContext, (P d, P v, P s, int direct), (d, v, s, direct))
W(P, glXCreateContextAttribsARB, (P d, P c, P s, int direct, const int* a), (d, c, s, direct, a))
W(int, glXMakeCurrent, (P d, XID w, P c), (d, w, c))
WV(glXSwapBuffers, (P d, XID w), (d, w))
WV(glCompileShaderARB, (unsigned s), (s))
WV(glLinkProgramARB, (unsigned p), (p))
WV(glCompileShader, (unsigned s), (s))
WV(glLinkProgram, (unsigned p), (p))
WV(glUseProgramObjectARB, (unsigned p), (p))
WV(glTexImage2D, (unsigned t, int l, int i, int w, int h, int b, unsigned f, unsigned ty, const void* p),
   (t, l, i, w, h, b, f, ty, p))
WV(glTexSubImage2D, (unsigned t, int l, int x, int y, int w, int h, unsigned f, unsigned ty, const void* p),
   (t, l, x, y, w, h, f, ty, p))
WV(glFinish, (void), ())
WV(glClear, (unsigned m), (m))
WV(glDrawArrays, (unsigned m, int f, int c), (m, f, c))
W(P, TTF_OpenFont, (const char* f, int s), (f, s))
W(int, TTF_Init, (void), ())
W(P, FcFontMatch, (P c, P p, P r), (c, p, r))
W(int, FcInit, (void), ())
W(int, FcConfigSubstitute, (P c, P p, int k), (c, p, k))
W(P, IMG_LoadTyped_RW, (P s, int f, const char* t), (s, f, t))
W(P, IMG_Load, (const char* f), (f))
W(int, Mix_OpenAudioDevice, (int f, unsigned short fo, int c, int ch, const char* d, int a),
  (f, fo, c, ch, d, a))
W(int, Mix_OpenAudio, (int f, unsigned short fo, int c, int ch), (f, fo, c, ch))
W(P, Mix_LoadWAV_RW, (P s, int f), (s, f))
W(P, Mix_LoadMUS, (const char* f), (f))
W(int, Mix_Init, (int f), (f))
W(P, TTF_RenderGlyph32_Blended, (P f, unsigned c, unsigned col), (f, c, col))

static P (*real_glXGetProcAddressARB)(const unsigned char*);
static P (*real_glXGetProcAddress)(const unsigned char*);
static P wrapFor(const char* name, P real);
static P wrap_glXGetProcAddressARB(const unsigned char* n)
{
    return wrapFor((const char*)n, real_glXGetProcAddressARB(n));
}
static P wrap_glXGetProcAddress(const unsigned char* n)
{
    return wrapFor((const char*)n, real_glXGetProcAddress(n));
}

#define CASE(name) \
    if (strcmp(wanted, #name) == 0) { \
        *(P*)&real_##name = real; \
        return (P)wrap_##name; \
    }
static P wrapFor(const char* wanted, P real)
{
    if (!real)
        return real;
    CASE(XCreateWindow) CASE(XMapRaised) CASE(XMapWindow) CASE(XDestroyWindow) CASE(XUnmapWindow) CASE(XSync)
    CASE(XIfEvent) CASE(XOpenDisplay) CASE(XOpenIM) CASE(glXChooseVisual) CASE(glXChooseFBConfig)
    CASE(glXCreateContext) CASE(glXCreateContextAttribsARB) CASE(glXMakeCurrent) CASE(glXSwapBuffers)
    CASE(glCompileShaderARB) CASE(glLinkProgramARB) CASE(glCompileShader) CASE(glLinkProgram)
    CASE(glUseProgramObjectARB) CASE(glTexImage2D) CASE(glTexSubImage2D) CASE(glFinish) CASE(glClear)
    CASE(glDrawArrays) CASE(TTF_OpenFont) CASE(TTF_Init) CASE(FcFontMatch) CASE(FcInit) CASE(FcConfigSubstitute)
    CASE(IMG_LoadTyped_RW) CASE(IMG_Load) CASE(Mix_OpenAudioDevice) CASE(Mix_OpenAudio) CASE(Mix_LoadWAV_RW)
    CASE(Mix_LoadMUS) CASE(Mix_Init) CASE(TTF_RenderGlyph32_Blended) CASE(glXGetProcAddressARB)
    CASE(glXGetProcAddress)
    return real;
}

void* dlsym(void* __restrict handle, const char* __restrict name) { return wrapFor(name, lookUp(handle, name)); }

/* SDL's own functions, called by the program directly. */
#define S(R, name, params, args) \
    R name params \
    { \
        static R(*real) params; \
        if (!real) \
            *(P*)&real = lookUp(RTLD_NEXT, #name); \
        double s_ = now(); \
        R r_ = real args; \
        note(#name, s_); \
        return r_; \
    }
#define SV(name, params, args) \
    void name params \
    { \
        static void(*real) params; \
        if (!real) \
            *(P*)&real = lookUp(RTLD_NEXT, #name); \
        double s_ = now(); \
        real args; \
        note(#name, s_); \
    }
S(int, SDL_Init, (unsigned f), (f))
S(int, SDL_InitSubSystem, (unsigned f), (f))
S(P, SDL_CreateWindow, (const char* t, int x, int y, int w, int h, unsigned f), (t, x, y, w, h, f))
SV(SDL_ShowWindow, (P w), (w))
SV(SDL_RaiseWindow, (P w), (w))
S(P, SDL_CreateRenderer, (P w, int i, unsigned f), (w, i, f))
P SDL_CreateTexture(P r, unsigned f, int a, int w, int h)
{
    static P (*real)(P, unsigned, int, int, int);
    if (!real)
        *(P*)&real = lookUp(RTLD_NEXT, "SDL_CreateTexture");
    double s_ = now();
    P t = real(r, f, a, w, h);
    note("SDL_CreateTexture", s_);
    if (getenv("KESTRELON_START_TRACE_TEXTURES"))
        fprintf(out, "%9.2f %8.2f texture %dx%d access %d\n", s_ - t0, now() - s_, w, h, a);
    return t;
}
S(P, SDL_CreateTextureFromSurface, (P r, P s), (r, s))
S(int, SDL_UpdateTexture, (P t, const void* r, const void* p, int pi), (t, r, p, pi))
S(int, SDL_SetRenderTarget, (P r, P t), (r, t))
S(int, SDL_RenderCopy, (P r, P t, const void* a, const void* b), (r, t, a, b))
S(int, SDL_RenderClear, (P r), (r))
S(int, SDL_ShowCursor, (int t), (t))
SV(SDL_PumpEvents, (void), ())
S(int, SDL_PollEvent, (P e), (e))
S(P, SDL_LoadBMP_RW, (P s, int f), (s, f))
S(int, SDL_VideoInit, (const char* d), (d))
SV(SDL_Delay, (unsigned ms), (ms))
S(int, pthread_join, (pthread_t t, void** r), (t, r))

void SDL_RenderPresent(P renderer)
{
    static void (*real)(P);
    if (!real)
        *(P*)&real = lookUp(RTLD_NEXT, "SDL_RenderPresent");
    double s_ = now();
    real(renderer);
    note("SDL_RenderPresent", s_);
    summary();
    _exit(0);
}
