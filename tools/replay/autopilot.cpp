// kestrelon-autopilot: plays a whole game by itself and writes what it
// pressed as a replay script, so scenario scripts need not be typed by hand.
// It hunts asteroids and the boss while it can, and once it has beaten a
// boss it rams asteroids until the game is over.
//
//   kestrelon-autopilot --dir DIR --start novice|hero --out SCRIPT [--max-frames N] [--ram-only yes]
#include "app/game_main.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/script.h"
#include "platform/window.h"
#include "replay.h"
#include "screens/screen_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Pilot {
    std::vector<std::vector<uint8_t>> pressed;   // keys of every poll, in order
    bool bossWasAlive = false;
    bool bossBeaten = false;
    bool firedLastPoll = false;
    bool finished = false;
    long maxFrames = 20000;
    bool ramOnly = false;   // never shoot: a game lost with hardly any points
};

Pilot pilot;

float centreX(const Sprite& s) { return s.x + static_cast<float>(s.width) * s.scale * 0.5f; }
float centreY(const Sprite& s) { return s.y + static_cast<float>(s.height) * s.scale * 0.5f; }

const Sprite* nearestAsteroid(bool onlyAbove)
{
    const Sprite* best = nullptr;
    float bestDistance = 1e9f;
    for (const Sprite& a : asteroids) {
        if (!a.active || (onlyAbove && a.y + a.height > ship.y - 10))
            continue;
        float distance = std::fabs(centreX(a) - centreX(ship)) + (onlyAbove ? 0.0f : std::fabs(centreY(a) - centreY(ship)));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &a;
        }
    }
    return best;
}

int activeBullets()
{
    int count = 0;
    for (const Sprite& b : bullets)
        count += b.active;
    return count;
}

// The side to flee to when an asteroid will reach the ship within a third of
// a second: 0 none, 1 left, 2 right.
int danger()
{
    const float margin = 14.0f;
    for (const Sprite& a : asteroids) {
        if (!a.active)
            continue;
        float x = a.x, y = a.y, vx = a.vx, vy = a.vy;
        for (int t = 0; t < 18; ++t) {
            x += vx;
            y += vy;
            if (x < 0.0f || x > 964.0f)
                vx = -vx;
            if (y < 0.0f || y > 708.0f)
                vy = -vy;
            bool overlaps = x + 60.0f + margin > ship.x && x - margin < ship.x + ship.width
                            && y + 60.0f + margin > ship.y && y - margin < ship.y + ship.height;
            if (overlaps) {
                bool fleeLeft = centreX(a) > centreX(ship);
                if (fleeLeft && ship.x < 40.0f)
                    fleeLeft = false;
                if (!fleeLeft && ship.x > 857.0f)
                    fleeLeft = true;
                return fleeLeft ? 1 : 2;
            }
        }
    }
    return 0;
}

std::vector<uint8_t> decide()
{
    std::vector<uint8_t> keys;
    if (!pilot.ramOnly && !pilot.bossBeaten && !(bossLevel && bossAlive())) {
        if (int flee = danger()) {
            keys.push_back(flee == 1 ? DIK_LEFT : DIK_RIGHT);
            return keys;
        }
    }
    const bool ramming = pilot.ramOnly || pilot.bossBeaten || ammo <= 0;
    keys.reserve(3);
    const Sprite* target = nullptr;
    if (bossLevel && bossAlive())
        target = &boss;
    else
        target = nearestAsteroid(!ramming);
    if (!target)
        return keys;
    float dx = centreX(*target) - centreX(ship);
    if (dx < -4.0f)
        keys.push_back(DIK_LEFT);
    else if (dx > 4.0f)
        keys.push_back(DIK_RIGHT);
    if (ramming) {
        float dy = centreY(*target) - centreY(ship);
        if (dy < -4.0f)
            keys.push_back(DIK_UP);
        else if (dy > 4.0f)
            keys.push_back(DIK_DOWN);
        return keys;
    }
    if (ship.y < 600.0f)
        keys.push_back(DIK_DOWN);
    if (std::fabs(dx) < 25.0f && !pilot.firedLastPoll && activeBullets() == 0 && ammo > 0)
        keys.push_back(DIK_SPACE);
    return keys;
}

void afterFrame()
{
    if (pilot.finished)
        return;
    if (pilot.bossWasAlive && !bossLevel)
        pilot.bossBeaten = true;
    pilot.bossWasAlive = bossLevel && bossAlive();
    bool gameOver = !gameInProgress && !getReadyPending;
    if (gameOver || static_cast<long>(pilot.pressed.size()) >= pilot.maxFrames) {
        pilot.finished = true;
        postMessage({MessageType::Close, 0});
        return;
    }
    std::vector<uint8_t> keys = decide();
    pilot.firedLastPoll = false;
    for (uint8_t key : keys)
        pilot.firedLastPoll = pilot.firedLastPoll || key == DIK_SPACE;
    pilot.pressed.push_back(keys);
    ScriptStep step;
    step.keysDown = keys;
    appendInputScriptStep(step);
}

int startChoice = 1;

void afterStartup()
{
    startNewGameAt(startChoice);
    appendInputScriptStep(ScriptStep{});   // the first poll, before anything is decided
    pilot.pressed.push_back({});
}

} // namespace

int main(int argc, char** argv)
{
    std::string dir, out, start = "novice";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string argument = argv[i];
        if (argument == "--dir")
            dir = argv[i + 1];
        else if (argument == "--out")
            out = argv[i + 1];
        else if (argument == "--start")
            start = argv[i + 1];
        else if (argument == "--ram-only")
            pilot.ramOnly = std::string(argv[i + 1]) == "yes";
        else if (argument == "--max-frames")
            pilot.maxFrames = std::atol(argv[i + 1]);
    }
    if (dir.empty() || out.empty() || (start != "novice" && start != "hero")) {
        std::fprintf(stderr, "usage: kestrelon-autopilot --dir DIR --start novice|hero --out SCRIPT [--max-frames N]\n");
        return 2;
    }
    startChoice = start == "hero" ? 2 : 1;
    std::FILE* script = std::fopen(out.c_str(), "w");
    std::string problem;
    if (!script || !enterFolder(dir, problem)) {
        std::fprintf(stderr, "kestrelon-autopilot: cannot write %s or enter %s\n", out.c_str(), dir.c_str());
        return 2;
    }
    PlatformConfig config;
    config.clock = ClockBackend::Virtual;
    config.input = InputBackend::Script;
    config.video = VideoBackend::None;
    config.audio = AudioBackend::Headless;
    if (!platformStart(config))
        return 1;
    GameRun run;
    run.singleInstance = false;
    run.afterStartup = afterStartup;
    run.afterFrame = afterFrame;
    int exitCode = runKestrelon(run);
    platformStop();

    std::fprintf(script, "# Written by kestrelon-autopilot --start %s: a whole game, %zu polls.\n", start.c_str(),
                 pilot.pressed.size());
    writeScriptPolls(script, pilot.pressed);
    std::fclose(script);
    std::printf("%zu polls, boss beaten: %s, final score %d, level %d\n", pilot.pressed.size(),
                pilot.bossBeaten ? "yes" : "no", score, level);
    return exitCode;
}
