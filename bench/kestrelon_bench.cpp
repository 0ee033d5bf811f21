// kestrelon-bench: the in-process measurements behind bench/run.sh.
//
//   kestrelon-bench logic   --dir DIR [--seconds S]
//   kestrelon-bench render  --dir DIR --script FILE [--frames N]
//   kestrelon-bench replay  --dir DIR --script FILE --frames N
//   kestrelon-bench parts   --dir DIR
//   kestrelon-bench pilot   --dir DIR --out FILE --frames N
//   kestrelon-bench launch  [--present-file FILE] -- PROGRAM [ARGS...]
//
// Each prints "key=value" pairs on a line (parts: a line per stage) for the
// script to read.
#include "app/frame_driver.h"
#include "app/game_main.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/star_map.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/script.h"
#include "platform/video.h"
#include "platform/window.h"
#include "render/assets.h"
#include "render/device.h"
#include "render/drawing.h"
#include "replay.h"
#include "screens/hud.h"
#include "screens/screen_state.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

// Every heap allocation of the process, game and libraries alike, goes
// through these: the render run counts what a play frame allocates.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void __libc_free(void* pointer);
}

namespace {
std::atomic<uint64_t> heapAllocations{0};
// With KESTRELON_BENCH_WHO_ALLOCATES set, the render run prints the call
// stack of every allocation made during one play frame (frame 200).
bool tracingAllocations = false;
thread_local bool insideTrace = false;

void traceAllocation()
{
    if (!tracingAllocations || insideTrace)
        return;
    insideTrace = true;
    void* frames[24];
    int depth = backtrace(frames, 24);
    static const char kMark[] = "--- allocation\n";
    write(2, kMark, sizeof kMark - 1);
    backtrace_symbols_fd(frames, depth, 2);
    insideTrace = false;
}
}

extern "C" void* malloc(size_t size)
{
    heapAllocations.fetch_add(1, std::memory_order_relaxed);
    traceAllocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    heapAllocations.fetch_add(1, std::memory_order_relaxed);
    traceAllocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size)
{
    heapAllocations.fetch_add(1, std::memory_order_relaxed);
    traceAllocation();
    return __libc_realloc(pointer, size);
}

extern "C" void free(void* pointer) { __libc_free(pointer); }

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Arguments {
    std::string dir, script, out, presentFile;
    double seconds = 1.0;
    int64_t frames = -1;
    std::vector<char*> command;
};

bool parse(int argc, char** argv, Arguments& a)
{
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") {
            a.command.assign(argv + i + 1, argv + argc);
            a.command.push_back(nullptr);
            return true;
        }
        if (i + 1 >= argc)
            return false;
        std::string value = argv[++i];
        if (arg == "--dir")
            a.dir = value;
        else if (arg == "--script")
            a.script = value;
        else if (arg == "--out")
            a.out = value;
        else if (arg == "--present-file")
            a.presentFile = value;
        else if (arg == "--seconds")
            a.seconds = std::atof(value.c_str());
        else if (arg == "--frames")
            a.frames = std::atoll(value.c_str());
        else
            return false;
    }
    return true;
}

bool readScript(const std::string& path, std::vector<ScriptStep>& steps)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "kestrelon-bench: cannot read %s\n", path.c_str());
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string problem;
    if (!parseReplayScript(text.str(), steps, problem)) {
        std::fprintf(stderr, "kestrelon-bench: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    return true;
}

bool startHeadless(const std::string& dir, VideoBackend video)
{
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "kestrelon-bench: cannot enter %s\n", dir.c_str());
        return false;
    }
    PlatformConfig config;
    config.clock = ClockBackend::Virtual;
    config.input = InputBackend::Script;
    config.video = video;
    config.audio = AudioBackend::Headless;
    config.logCalls = false;
    return platformStart(config);
}

// ---------------------------------------------------------------------------
// Logic: the three play steps over a full field, ten asteroids and fifty
// shots, kept full by re-arming after every step (the re-arming is timed too).

double logicSeconds = 1.0;
double logicBestRate = 0.0;
uint64_t logicSteps = 0;

void armShot(int i)
{
    Sprite& bullet = bullets[i];
    bullet.active = true;
    bullet.x = static_cast<float>((i * 97) % (kScreenWidth - 20));
    bullet.y = static_cast<float>(kScreenHeight - 40 - (i % 10) * 60);
}

void keepFieldFull()
{
    for (int i = 0; i < kBulletCount; ++i)
        if (!bullets[i].active)
            armShot(i);
    // Hits respawn asteroids themselves; lost lives and points are put back
    // so that no level-up, boss fight or game over changes the workload.
    while (findFreeAsteroid() >= 0)
        spawnAsteroid();
    lives = 5;
    levelPoints = 0;
    extraLifePoints = 0;
    oneUpEvent = false;
    levelUpEvent = false;
    ammo = kMaxAmmo;
}

// A second figure from the same run, as a yardstick for this machine: the
// same three steps over an empty field (no asteroid, no shot), what a play
// step costs before there is anything to move or to test.
double logicEmptyBestRate = 0.0;

void setUpField(bool full)
{
    difficulty = 1;
    newGame();
    level = 10;
    asteroidCount = full ? kAsteroidCount : 0;
    for (Sprite& asteroid : asteroids)
        asteroid.active = false;
    if (full) {
        for (int i = 0; i < kAsteroidCount; ++i)
            spawnAsteroid();
        keepFieldFull();
    }
    frameScale = 1.0f;
}

double measureSteps(bool full)
{
    setUpField(full);
    uint64_t steps = 0;
    Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    while (elapsed < logicSeconds) {
        for (int i = 0; i < 1000; ++i, ++steps) {
            // The ship sweeps left and right and, on a full field, fires now and then.
            const uint64_t n = steps;
            keyState[DIK_LEFT] = (n / 64) % 2 ? 0x80 : 0;
            keyState[DIK_RIGHT] = (n / 64) % 2 ? 0 : 0x80;
            previousKeyState[DIK_SPACE] = keyState[DIK_SPACE];
            keyState[DIK_SPACE] = full && n % 8 == 0 ? 0x80 : 0;
            updateWorld();
            resolveCollisions();
            scrollMap();
            if (full) {
                keepFieldFull();
            } else {
                lives = 5;
                levelPoints = 0;
            }
        }
        elapsed = secondsSince(start);
    }
    logicSteps += steps;
    return static_cast<double>(steps) / elapsed;
}

void runLogic()
{
    // Three rounds of each, in turns; the best counts (the machine is shared).
    for (int round = 0; round < 3; ++round) {
        logicBestRate = std::max(logicBestRate, measureSteps(true));
        logicEmptyBestRate = std::max(logicEmptyBestRate, measureSteps(false));
    }
}

int benchLogic(const Arguments& a)
{
    if (!startHeadless(a.dir, VideoBackend::None))
        return 1;
    logicSeconds = a.seconds;
    GameRun run;
    run.singleInstance = false;
    run.maxFrames = 1;
    run.afterStartup = runLogic;
    int code = runKestrelon(run);
    platformStop();
    std::printf("steps_per_second=%.0f empty_field_steps_per_second=%.0f steps=%llu\n", logicBestRate,
                logicEmptyBestRate, static_cast<unsigned long long>(logicSteps));
    return code;
}

// ---------------------------------------------------------------------------
// Render: the real frame loop on the offscreen driver, timing each call of
// the frame driver. Play frames are those that ran the play mode without the
// countdown or the closing screens (those are blocking screens, not frames).

struct RenderStats {
    Clock::time_point last;
    bool countdownNext = false;
    uint64_t allocationsAtLast = 0;
    int64_t playFrames = 0;
    double playSeconds = 0.0;
    uint64_t playAllocations = 0;
    int64_t otherFrames = 0;
    double otherSeconds = 0.0;
    std::vector<double> playFrameSeconds;   // reserved before the run: no allocation in play
};

RenderStats renderStats;
bool whoAllocates = false;
std::string rendererUsed;

void renderAfterStartup()
{
    rendererUsed = videoRendererName();
    startNewGameAt(1);
    renderStats.countdownNext = getReadyPending;
    renderStats.allocationsAtLast = heapAllocations.load();
    renderStats.last = Clock::now();
}

void renderAfterFrame()
{
    Clock::time_point now = Clock::now();
    uint64_t allocations = heapAllocations.load();
    double seconds = std::chrono::duration<double>(now - renderStats.last).count();
    bool play = lastFrameMode == FrameMode::Play && !renderStats.countdownNext && gameInProgress && lives > 0;
    if (play) {
        ++renderStats.playFrames;
        renderStats.playSeconds += seconds;
        renderStats.playAllocations += allocations - renderStats.allocationsAtLast;
        if (renderStats.playFrameSeconds.size() < renderStats.playFrameSeconds.capacity())
            renderStats.playFrameSeconds.push_back(seconds);
    } else {
        ++renderStats.otherFrames;
        renderStats.otherSeconds += seconds;
    }
    renderStats.countdownNext = getReadyPending;
    tracingAllocations = whoAllocates && renderStats.playFrames == 199;
    // The bookkeeping above is not part of the next frame.
    renderStats.allocationsAtLast = heapAllocations.load();
    renderStats.last = Clock::now();
}

int benchRender(const Arguments& a)
{
    std::vector<ScriptStep> steps;
    if (!readScript(a.script, steps))
        return 2;
    whoAllocates = std::getenv("KESTRELON_BENCH_WHO_ALLOCATES") != nullptr;
    if (!startHeadless(a.dir, VideoBackend::Offscreen))
        return 1;
    loadInputScript(std::move(steps));
    renderStats.playFrameSeconds.reserve(a.frames > 0 ? static_cast<size_t>(a.frames) : 100000);
    GameRun run;
    run.singleInstance = false;
    run.maxFrames = a.frames;
    run.afterStartup = renderAfterStartup;
    run.afterFrame = renderAfterFrame;
    int code = runKestrelon(run);
    platformStop();
    RenderStats& s = renderStats;
    double fps = s.playSeconds > 0.0 ? static_cast<double>(s.playFrames) / s.playSeconds : 0.0;
    // The frames' times, in order, to tell a steady frame rate from one with hitches.
    std::vector<double>& times = s.playFrameSeconds;
    std::sort(times.begin(), times.end());
    auto percentile = [&](double p) {
        if (times.empty())
            return 0.0;
        const size_t at = std::min(times.size() - 1, static_cast<size_t>(p / 100.0 * static_cast<double>(times.size())));
        return times[at] * 1000.0;
    };
    std::printf("play_fps=%.1f play_frames=%lld play_seconds=%.3f allocations_per_play_frame=%.4f "
                "play_allocations=%llu frame_ms_p50=%.3f frame_ms_p99=%.3f frame_ms_p999=%.3f frame_ms_worst=%.3f "
                "renderer=%s other_frames=%lld other_seconds=%.3f\n",
                fps, static_cast<long long>(s.playFrames), s.playSeconds,
                s.playFrames ? static_cast<double>(s.playAllocations) / static_cast<double>(s.playFrames) : 0.0,
                static_cast<unsigned long long>(s.playAllocations), percentile(50), percentile(99), percentile(99.9),
                times.empty() ? 0.0 : times.back() * 1000.0, rendererUsed.c_str(), static_cast<long long>(s.otherFrames),
                s.otherSeconds);
    return code;
}

// ---------------------------------------------------------------------------
// Replay: the frames of a headless replay in-process, without the call log
// and the trace line the replay tool writes, to tell the game's own cost.

Clock::time_point replayStart;
int64_t replayFrames = 0;

void replayAfterStartup()
{
    startNewGameAt(1);
    replayStart = Clock::now();
}

void replayAfterFrame() { ++replayFrames; }

int benchReplay(const Arguments& a)
{
    std::vector<ScriptStep> steps;
    if (!readScript(a.script, steps))
        return 2;
    if (!startHeadless(a.dir, VideoBackend::None))
        return 1;
    loadInputScript(std::move(steps));
    GameRun run;
    run.singleInstance = false;
    run.maxFrames = a.frames;
    run.afterStartup = replayAfterStartup;
    run.afterFrame = replayAfterFrame;
    int code = runKestrelon(run);
    double seconds = secondsSince(replayStart);
    platformStop();
    std::printf("frames=%lld frames_ms=%.3f\n", static_cast<long long>(replayFrames), seconds * 1000.0);
    return code;
}

// ---------------------------------------------------------------------------
// Parts: where a play frame's time goes. The same scene is drawn with more
// and more of its layers, each stage on its own for a few hundred frames;
// the differences between stages are the cost of each layer.

struct Stage {
    const char* name;
    int layers;
};

void drawLayers(int layers)
{
    if (layers >= 1)
        clearFrame();
    if (layers >= 2) {
        drawStarMap();
        drawMapBackground(mapX, mapY);
    }
    beginSpriteBatch();
    if (layers >= 3)
        drawHud();
    if (layers >= 4)
        drawAmmoColumn();
    if (layers >= 5) {
        drawSprite(spaceshipTexture, static_cast<int>(ship.x), static_cast<int>(ship.y), ship.width, ship.height, 7,
                   5, 0.0f, 1.0f);
        drawDifficultyBadge();
        for (const Sprite& a : asteroids)
            if (a.active)
                drawSprite(asteroidTexture, static_cast<int>(a.x), static_cast<int>(a.y), a.width, a.height, a.frame,
                           a.framesPerRow, 0.0f, 1.0f);
    }
    if (layers >= 6)
        for (const Sprite& b : bullets)
            if (b.active)
                drawSprite(bulletsTexture, static_cast<int>(b.x), static_cast<int>(b.y), b.width, b.height, b.frame,
                           b.framesPerRow, degreesToRadians(b.angle), b.scale);
    endSpriteBatch();
    videoEndScene();
    videoPresent();
}

void runParts()
{
    startNewGameAt(1);
    getReadyPending = false;
    level = 10;
    asteroidCount = kAsteroidCount;
    for (int i = 0; i < kAsteroidCount; ++i)
        spawnAsteroid();
    for (int i = 0; i < 10; ++i)
        armShot(i);
    ammo = kMaxAmmo;
    const Stage stages[] = {{"present only", 0},
                            {"+ clear", 1},
                            {"+ star map copy (the clear then left out)", 2},
                            {"+ HUD (ship icon, 3 texts)", 3},
                            {"+ ammunition column (24 icons)", 4},
                            {"+ ship, badge, 10 asteroids", 5},
                            {"+ 10 shots (scaled 0.6)", 6}};
    for (const Stage& stage : stages) {
        for (int i = 0; i < 50; ++i)
            drawLayers(stage.layers);
        double best = 1e9;
        uint64_t allocations = 0;
        for (int round = 0; round < 3; ++round) {
            uint64_t before = heapAllocations.load();
            Clock::time_point start = Clock::now();
            for (int i = 0; i < 200; ++i)
                drawLayers(stage.layers);
            double ms = secondsSince(start) * 1000.0 / 200.0;
            allocations = (heapAllocations.load() - before) / 200;
            if (ms < best)
                best = ms;
        }
        std::printf("stage=\"%s\" ms_per_frame=%.3f allocations_per_frame=%llu\n", stage.name, best,
                    static_cast<unsigned long long>(allocations));
    }
}

int benchParts(const Arguments& a)
{
    if (!startHeadless(a.dir, VideoBackend::Offscreen))
        return 1;
    GameRun run;
    run.singleInstance = false;
    run.maxFrames = 1;
    run.afterStartup = runParts;
    int code = runKestrelon(run);
    platformStop();
    return code;
}

// ---------------------------------------------------------------------------
// Pilot: plays one long game by itself (dodging first, then hunting the
// nearest asteroid or the boss, never ramming) and writes the keys it held
// as a replay script, so the replay benchmark has a game of the length it
// asks for. The game goes on while the pilot stays alive.

struct Pilot {
    std::vector<std::vector<uint8_t>> polls;
    int64_t maxPolls = 10000;
    bool finished = false;
    bool firedLast = false;
};

Pilot pilot;

float midX(const Sprite& s) { return s.x + static_cast<float>(s.width) * s.scale * 0.5f; }

bool threatens(float x, float y, float w, float h, float margin)
{
    return x + w + margin > ship.x && x - margin < ship.x + static_cast<float>(ship.width)
           && y + h + margin > ship.y && y - margin < ship.y + static_cast<float>(ship.height);
}

// Where a danger comes from within the next 24 frames: its centre x, or NAN.
float nearestDanger()
{
    for (int t = 1; t <= 24; ++t) {
        for (const Sprite& a : asteroids) {
            if (!a.active || bossLevel)
                continue;
            float x = a.x, y = a.y, vx = a.vx, vy = a.vy;
            for (int k = 0; k < t; ++k) {
                x += vx;
                y += vy;
                if (x < 0.0f || x > static_cast<float>(kScreenWidth - a.width))
                    vx = -vx;
                if (y < 0.0f || y > static_cast<float>(kScreenHeight - a.height))
                    vy = -vy;
            }
            if (threatens(x, y, 60.0f, 60.0f, 16.0f))
                return x + 30.0f;
        }
        for (const Sprite& shot : bossShots) {
            if (!shot.active)
                continue;
            float y = shot.y + shot.vy * static_cast<float>(t);
            if (threatens(shot.x, y, 20.0f, 20.0f, 12.0f))
                return shot.x + 10.0f;
        }
    }
    return NAN;
}

std::vector<uint8_t> decide()
{
    std::vector<uint8_t> keys;
    if (ship.y < 600.0f)
        keys.push_back(DIK_DOWN);
    float danger = nearestDanger();
    if (!std::isnan(danger)) {
        bool left = danger > midX(ship);
        if (left && ship.x < 30.0f)
            left = false;
        if (!left && ship.x > static_cast<float>(kScreenWidth - ship.width) - 30.0f)
            left = true;
        keys.push_back(left ? DIK_LEFT : DIK_RIGHT);
        return keys;
    }
    const Sprite* target = nullptr;
    if (bossLevel && bossAlive()) {
        target = &boss;
    } else {
        float best = 1e9f;
        for (const Sprite& a : asteroids) {
            if (!a.active || a.y + static_cast<float>(a.height) > ship.y - 20.0f)
                continue;
            float d = std::fabs(midX(a) - midX(ship));
            if (d < best) {
                best = d;
                target = &a;
            }
        }
    }
    if (!target)
        return keys;
    float dx = midX(*target) - midX(ship);
    if (dx < -6.0f)
        keys.push_back(DIK_LEFT);
    else if (dx > 6.0f)
        keys.push_back(DIK_RIGHT);
    bool inFlight = false;
    for (const Sprite& b : bullets)
        inFlight = inFlight || b.active;
    if (std::fabs(dx) < 30.0f && !pilot.firedLast && !inFlight && ammo > 0)
        keys.push_back(DIK_SPACE);
    return keys;
}

void appendPoll(std::vector<uint8_t> keys)
{
    ScriptStep step;
    step.keysDown = keys;
    appendInputScriptStep(step);
    pilot.polls.push_back(std::move(keys));
}

void pilotAfterStartup()
{
    startNewGameAt(1);
    appendPoll({});
}

void pilotAfterFrame()
{
    if (pilot.finished)
        return;
    if (!gameInProgress || static_cast<int64_t>(pilot.polls.size()) >= pilot.maxPolls) {
        pilot.finished = true;
        postMessage({MessageType::Close, 0});
        return;
    }
    std::vector<uint8_t> keys = decide();
    pilot.firedLast = false;
    for (uint8_t key : keys)
        pilot.firedLast = pilot.firedLast || key == DIK_SPACE;
    appendPoll(std::move(keys));
}

int benchPilot(const Arguments& a)
{
    std::FILE* out = std::fopen(a.out.c_str(), "w");
    if (!out) {
        std::fprintf(stderr, "kestrelon-bench: cannot write %s\n", a.out.c_str());
        return 2;
    }
    if (!startHeadless(a.dir, VideoBackend::None))
        return 1;
    pilot.maxPolls = a.frames > 0 ? a.frames : 10000;
    GameRun run;
    run.singleInstance = false;
    run.afterStartup = pilotAfterStartup;
    run.afterFrame = pilotAfterFrame;
    runKestrelon(run);
    platformStop();
    std::fprintf(out, "# A long novice game played by kestrelon-bench pilot: %zu polls, %d lives left, level %d.\n",
                 pilot.polls.size(), lives, level);
    writeScriptPolls(out, pilot.polls);
    std::fclose(out);
    std::printf("polls=%zu lives=%d level=%d score=%d game_in_progress=%d\n", pilot.polls.size(), lives, level,
                score, gameInProgress ? 1 : 0);
    return 0;
}

// ---------------------------------------------------------------------------
// Launch: runs a program and reports its wall time, peak resident size and
// processor time, and with --present-file the time from just before exec to
// its first presented frame (written there by the first_present preload).

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int benchLaunch(const Arguments& a)
{
    if (a.command.size() < 2)
        return 2;
    if (!a.presentFile.empty())
        unlink(a.presentFile.c_str());
    double start = monotonicSeconds();
    pid_t child = fork();
    if (child == 0) {
        execvp(a.command[0], a.command.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    double end = monotonicSeconds();
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    double presented = -1.0;
    if (!a.presentFile.empty()) {
        if (std::FILE* f = std::fopen(a.presentFile.c_str(), "r")) {
            if (std::fscanf(f, "%lf", &presented) != 1)
                presented = -1.0;
            std::fclose(f);
        }
    }
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("first_present_ms=%.2f exit_ms=%.2f max_rss_kib=%ld cpu_ms=%.1f exit_code=%d\n",
                presented > 0.0 ? (presented - start) * 1000.0 : -1.0, (end - start) * 1000.0, usage.ru_maxrss,
                (static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
                 + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0),
                code);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments a;
    if (argc < 2 || !parse(argc, argv, a)) {
        std::fprintf(stderr, "usage: kestrelon-bench logic|render|replay|parts|pilot|launch [options] (see the source)\n");
        return 2;
    }
    std::string mode = argv[1];
    if (mode == "logic")
        return benchLogic(a);
    if (mode == "render")
        return benchRender(a);
    if (mode == "replay")
        return benchReplay(a);
    if (mode == "parts")
        return benchParts(a);
    if (mode == "pilot")
        return benchPilot(a);
    if (mode == "launch")
        return benchLaunch(a);
    std::fprintf(stderr, "kestrelon-bench: unknown mode %s\n", mode.c_str());
    return 2;
}
