// One step of play at a time: the ship and its shots, the asteroids with
// their collisions and scoring, the extra-life and level-up checks, and the
// boss fight. updateWorld and resolveCollisions are called directly, with the
// keyboard and stick set by hand; the sounds come from the call log.
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/random.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "screens/screen_state.h"
#include "support/started_game.h"
#include "support/support.h"

#include "fresh_world.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

namespace {

void freshWorld(int32_t chosenDifficulty)
{
    resetWorldForTest(chosenDifficulty);
    std::memset(keyState, 0, sizeof keyState);
    std::memset(previousKeyState, 0, sizeof previousKeyState);
    padState = PadState{};
    beginCallLog();
}

// What a poll would leave: the keys held now, the previous ones remembered.
void poll(std::initializer_list<int> held = {})
{
    std::memcpy(previousKeyState, keyState, sizeof keyState);
    std::memset(keyState, 0, sizeof keyState);
    for (int key : held)
        keyState[key] = 0x80;
    padState = PadState{};
}

void step(std::initializer_list<int> held = {})
{
    poll(held);
    updateWorld();
}

int played(const PlatformSound* sound)
{
    int count = 0;
    for (const void* s : callLog.sounds)
        count += s == sound ? 1 : 0;
    return count;
}

int activeBullets()
{
    int count = 0;
    for (const Sprite& b : bullets)
        count += b.active ? 1 : 0;
    return count;
}

void place(Sprite& s, float x, float y)
{
    s.x = x;
    s.y = y;
    s.active = true;
}

struct PlayTest : StartedGameTest {
    void SetUp() override
    {
        StartedGameTest::SetUp();
        if (!HasFatalFailure())
            freshWorld(1);
    }
};

// A boss fight started the way a level-up starts it, asteroids frozen.
void startFight(int32_t chosenDifficulty = 1)
{
    freshWorld(chosenDifficulty);
    startBossFight();
}

} // namespace

// ---------------------------------------------------------------- the ship

TEST_F(PlayTest, ShipFliesByItsSpeedTimesTheFrameFactorAndStaysOnTheField)
{
    step({DIK_RIGHT});
    EXPECT_FLOAT_EQ(ship.x, 457.0f);
    EXPECT_EQ(shipDirection, 2);
    EXPECT_TRUE(shipTurned);
    step({DIK_LEFT});
    EXPECT_FLOAT_EQ(ship.x, 449.0f);
    EXPECT_EQ(shipDirection, 1);
    step({DIK_UP});
    EXPECT_FLOAT_EQ(ship.y, 568.0f);
    step({DIK_DOWN});
    EXPECT_FLOAT_EQ(ship.y, 576.0f);
    EXPECT_EQ(shipDirection, 1);   // vertical moves leave the direction alone

    frameScale = 2.0f;
    step({DIK_RIGHT, DIK_UP});
    EXPECT_FLOAT_EQ(ship.x, 465.0f);
    EXPECT_FLOAT_EQ(ship.y, 560.0f);
    frameScale = 0.5f;
    step({DIK_LEFT});
    EXPECT_FLOAT_EQ(ship.x, 461.0f);
    frameScale = 1.0f;

    struct Case {
        float x, y;
        int key;
        float endX, endY;
    };
    for (Case c : {Case{890.0f, 300.0f, DIK_RIGHT, 897.0f, 300.0f}, Case{897.0f, 300.0f, DIK_RIGHT, 897.0f, 300.0f},
                   Case{889.0f, 300.0f, DIK_RIGHT, 897.0f, 300.0f}, Case{5.0f, 300.0f, DIK_LEFT, 0.0f, 300.0f},
                   Case{400.0f, 3.0f, DIK_UP, 400.0f, 0.0f}, Case{400.0f, 610.0f, DIK_DOWN, 400.0f, 616.0f},
                   Case{400.0f, 616.0f, DIK_DOWN, 400.0f, 616.0f}}) {
        ship.x = c.x;
        ship.y = c.y;
        step({c.key});
        EXPECT_FLOAT_EQ(ship.x, c.endX) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(ship.y, c.endY) << c.x << "," << c.y;
    }
    // A ship knocked below the field comes back at the next step, keys or not.
    ship.y = 700.0f;
    step();
    EXPECT_FLOAT_EQ(ship.y, 616.0f);
}

TEST_F(PlayTest, StickHasAStrictDeadZoneAndPulledBackItFliesUp)
{
    struct Case {
        int16_t lx, ly;
        float dx, dy;
        int32_t direction;
    };
    for (Case c : {Case{-2000, 0, 0.0f, 0.0f, 0}, Case{-2001, 0, -8.0f, 0.0f, 1}, Case{2000, 0, 0.0f, 0.0f, 0},
                   Case{2001, 0, 8.0f, 0.0f, 2}, Case{0, -2000, 0.0f, 0.0f, 0}, Case{0, -2001, 0.0f, -8.0f, 0},
                   Case{0, 2000, 0.0f, 0.0f, 0}, Case{0, 2001, 0.0f, 8.0f, 0},
                   Case{-32768, 32767, -8.0f, 8.0f, 1}}) {
        freshWorld(1);
        ship.y = 400.0f;
        poll();
        padState.thumbLX = c.lx;
        padState.thumbLY = c.ly;
        updateWorld();
        EXPECT_FLOAT_EQ(ship.x, 449.0f + c.dx) << c.lx << "," << c.ly;
        EXPECT_FLOAT_EQ(ship.y, 400.0f + c.dy) << c.lx << "," << c.ly;
        EXPECT_EQ(shipDirection, c.direction) << c.lx << "," << c.ly;
    }
}

TEST_F(PlayTest, LeftAndRightTogetherCancelAndLeaveTheShipFacingRight)
{
    step({DIK_LEFT, DIK_RIGHT});
    EXPECT_FLOAT_EQ(ship.x, 449.0f);
    EXPECT_EQ(shipDirection, 2);
    EXPECT_TRUE(shipTurned);

    // The key on one side, the stick on the other: the same.
    shipDirection = 1;
    shipTurned = false;
    poll({DIK_LEFT});
    padState.thumbLX = 5000;
    updateWorld();
    EXPECT_FLOAT_EQ(ship.x, 449.0f);
    EXPECT_EQ(shipDirection, 2);
    EXPECT_TRUE(shipTurned);

    // Only a change of direction counts as a turn.
    shipTurned = false;
    step({DIK_RIGHT});
    EXPECT_FALSE(shipTurned);
    step({DIK_LEFT});
    EXPECT_TRUE(shipTurned);
    EXPECT_EQ(shipDirection, 1);
}

TEST_F(PlayTest, EachSpacePressFiresAPairFromTheShipsEdgesForTwoUnits)
{
    step({DIK_SPACE});
    EXPECT_EQ(played(shootSound), 1);
    EXPECT_EQ(ammo, 23);
    ASSERT_TRUE(bullets[0].active);
    ASSERT_TRUE(bullets[1].active);
    EXPECT_EQ(activeBullets(), 2);
    EXPECT_FLOAT_EQ(bullets[0].x, 449.0f);
    EXPECT_FLOAT_EQ(bullets[1].x, 544.0f);   // 449 + 127 - 32
    EXPECT_FLOAT_EQ(bullets[0].y, 564.0f);   // moved in the frame it was fired
    EXPECT_FLOAT_EQ(bullets[1].y, 564.0f);

    // Held: no second shot however long.
    for (int i = 0; i < 10; ++i)
        step({DIK_SPACE});
    EXPECT_EQ(played(shootSound), 1);
    EXPECT_EQ(ammo, 23);
    EXPECT_EQ(activeBullets(), 2);
    EXPECT_FLOAT_EQ(bullets[0].y, 444.0f);
    EXPECT_FLOAT_EQ(bullets[0].x, 449.0f);   // shots rise straight up

    // Released and pressed again, while flying right at double speed: the
    // ship moves first, then the pair leaves it, then the pair rises 24.
    step();
    frameScale = 2.0f;
    step({DIK_SPACE, DIK_RIGHT});
    EXPECT_EQ(ammo, 21);
    ASSERT_TRUE(bullets[2].active);
    ASSERT_TRUE(bullets[3].active);
    EXPECT_FLOAT_EQ(bullets[2].x, 465.0f);
    EXPECT_FLOAT_EQ(bullets[3].x, 560.0f);
    EXPECT_FLOAT_EQ(bullets[2].y, 552.0f);
    EXPECT_FLOAT_EQ(bullets[0].y, 408.0f);   // 432 after the idle frame, then 24 more
}

TEST_F(PlayTest, AmmunitionRunsFromTwentyFiveToMinusOneInThirteenShots)
{
    for (int shot = 1; shot <= 12; ++shot) {
        step({DIK_SPACE});
        step();
    }
    EXPECT_EQ(ammo, 1);
    EXPECT_EQ(activeBullets(), 24);
    step({DIK_SPACE});
    EXPECT_EQ(ammo, -1);
    EXPECT_EQ(activeBullets(), 26);
    EXPECT_EQ(played(shootSound), 13);
    step();
    step({DIK_SPACE});
    EXPECT_EQ(ammo, -1);
    EXPECT_EQ(activeBullets(), 26);
    EXPECT_EQ(played(shootSound), 13);

    ammo = 0;
    step();
    step({DIK_SPACE});
    EXPECT_EQ(ammo, 0);
    EXPECT_EQ(played(shootSound), 13);
}

TEST_F(PlayTest, AShotWithFewFreeRecordsStillCostsTwo)
{
    for (Sprite& b : bullets)
        place(b, 10.0f, 300.0f);
    bullets[17].active = false;
    step({DIK_SPACE});
    EXPECT_EQ(ammo, 23);
    EXPECT_EQ(played(shootSound), 1);
    EXPECT_EQ(activeBullets(), 50);
    EXPECT_FLOAT_EQ(bullets[17].x, 449.0f);
    EXPECT_FLOAT_EQ(bullets[17].y, 564.0f);

    // None free: the sound and the cost, no shot.
    step();
    step({DIK_SPACE});
    EXPECT_EQ(ammo, 21);
    EXPECT_EQ(played(shootSound), 2);
    EXPECT_EQ(activeBullets(), 50);
}

TEST_F(PlayTest, ShotsAboveTheTopAreRetiredInTheFrameTheyAreFired)
{
    struct Case {
        float shipY, scale;
        bool stillFlying;
        float bulletY;
    };
    for (Case c : {Case{5.0f, 1.0f, false, 0.0f}, Case{11.0f, 1.0f, false, 0.0f}, Case{12.0f, 1.0f, true, 0.0f},
                   Case{23.0f, 2.0f, false, 0.0f}, Case{24.0f, 2.0f, true, 0.0f}}) {
        freshWorld(1);
        ship.y = c.shipY;
        frameScale = c.scale;
        step({DIK_SPACE});
        EXPECT_EQ(bullets[0].active, c.stillFlying) << c.shipY;
        EXPECT_EQ(bullets[1].active, c.stillFlying) << c.shipY;
        if (c.stillFlying) {
            EXPECT_FLOAT_EQ(bullets[0].y, c.bulletY);
        }
        EXPECT_EQ(ammo, 23);
        EXPECT_EQ(played(shootSound), 1);
    }
}

// ------------------------------------------------------------- asteroids

TEST_F(PlayTest, AsteroidsBounceAtTheEdgesWithoutBeingClampedAndTumble)
{
    struct Case {
        float x, y, vx, vy;
        float endX, endY, endVx, endVy;
    };
    const Case cases[] = {
        {962.0f, 300.0f, 3.0f, 3.0f, 965.0f, 303.0f, -3.0f, 3.0f},     // past the right edge
        {961.0f, 705.0f, 3.0f, 3.0f, 964.0f, 708.0f, 3.0f, 3.0f},      // exactly on both edges: no turn
        {1.5f, 1.0f, -1.5f, -3.0f, 0.0f, -2.0f, -1.5f, 3.0f},          // x at 0 stays; y past the top
        {100.0f, 706.0f, -4.0f, 4.0f, 96.0f, 710.0f, -4.0f, -4.0f},    // past the bottom
        {2.0f, 400.0f, -3.0f, 0.0f, -1.0f, 400.0f, 3.0f, 0.0f},        // past the left edge
    };
    for (int i = 0; i < 5; ++i) {
        place(asteroids[i], cases[i].x, cases[i].y);
        asteroids[i].vx = cases[i].vx;
        asteroids[i].vy = cases[i].vy;
    }
    // An inactive record does not move.
    asteroids[7].x = 50.0f;
    asteroids[7].active = false;
    const int32_t now = static_cast<int32_t>(readTickCount());
    asteroids[0].frame = 63;
    asteroids[0].lastFrameTick = now - 11;
    asteroids[1].frame = 20;
    asteroids[1].lastFrameTick = now - 10;
    step();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(asteroids[i].x, cases[i].endX) << i;
        EXPECT_FLOAT_EQ(asteroids[i].y, cases[i].endY) << i;
        EXPECT_FLOAT_EQ(asteroids[i].vx, cases[i].endVx) << i;
        EXPECT_FLOAT_EQ(asteroids[i].vy, cases[i].endVy) << i;
    }
    EXPECT_FLOAT_EQ(asteroids[7].x, 50.0f);
    EXPECT_EQ(asteroids[0].frame, 0);
    EXPECT_EQ(asteroids[1].frame, 20);

    // The step follows the frame factor.
    freshWorld(2);
    place(asteroids[0], 500.0f, 300.0f);
    asteroids[0].vx = 4.0f;
    asteroids[0].vy = -4.0f;
    frameScale = 2.5f;
    step();
    EXPECT_FLOAT_EQ(asteroids[0].x, 510.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 290.0f);
}

TEST_F(PlayTest, AsteroidsTouchingEachOtherTurnRoundOnlyWithMoreThanOneInPlay)
{
    auto setUp = [](std::initializer_list<std::pair<float, float>> at, int32_t count) {
        freshWorld(1);
        asteroids[0].active = false;
        int i = 0;
        for (auto [x, y] : at) {
            place(asteroids[i], x, y);
            asteroids[i].vx = 3.0f;
            asteroids[i].vy = -2.0f;
            ++i;
        }
        asteroidCount = count;
    };

    // A single asteroid in play skips the test, whatever else is active.
    setUp({{100.0f, 100.0f}, {130.0f, 100.0f}}, 1);
    resolveCollisions();
    EXPECT_FLOAT_EQ(asteroids[0].vx, 3.0f);
    EXPECT_FLOAT_EQ(asteroids[1].vx, 3.0f);

    setUp({{100.0f, 100.0f}, {130.0f, 100.0f}}, 2);
    resolveCollisions();
    for (int i : {0, 1}) {
        EXPECT_FLOAT_EQ(asteroids[i].vx, -3.0f) << i;
        EXPECT_FLOAT_EQ(asteroids[i].vy, 2.0f) << i;
    }

    // The middle one touches both others: turned twice, it keeps its course.
    setUp({{100.0f, 100.0f}, {150.0f, 100.0f}, {50.0f, 100.0f}}, 3);
    resolveCollisions();
    EXPECT_FLOAT_EQ(asteroids[0].vx, 3.0f);
    EXPECT_FLOAT_EQ(asteroids[0].vy, -2.0f);
    EXPECT_FLOAT_EQ(asteroids[1].vx, -3.0f);
    EXPECT_FLOAT_EQ(asteroids[2].vx, -3.0f);

    // Centres exactly 60 apart only touch; just closer, they collide.
    struct Case {
        float x2, y2;
        bool turned;
    };
    for (Case c : {Case{160.0f, 100.0f, false}, Case{159.5f, 100.0f, true}, Case{142.0f, 142.0f, true},
                   Case{143.0f, 143.0f, false}, Case{100.0f, 40.0f, false}, Case{100.0f, 40.5f, true}}) {
        setUp({{100.0f, 100.0f}, {c.x2, c.y2}}, 2);
        resolveCollisions();
        EXPECT_FLOAT_EQ(asteroids[0].vx, c.turned ? -3.0f : 3.0f) << c.x2 << "," << c.y2;
        EXPECT_FLOAT_EQ(asteroids[1].vx, c.turned ? -3.0f : 3.0f) << c.x2 << "," << c.y2;
    }
}

TEST_F(PlayTest, RammingAnAsteroidCostsALifeResetsTheExtraLifeCountAndRefillsFive)
{
    place(asteroids[0], 470.0f, 600.0f);
    extraLifePoints = 120;
    levelPoints = 150;
    ammo = 12;
    resolveCollisions();
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(extraLifePoints, 0);
    EXPECT_EQ(levelPoints, 150);
    EXPECT_EQ(ammo, 17);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{hitSound}));
    // Back in the same slot at the next place of the sequence, with no flip.
    EXPECT_TRUE(asteroids[0].active);
    EXPECT_FLOAT_EQ(asteroids[0].x, 474.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 236.0f);
    EXPECT_FALSE(asteroidFlip);
    EXPECT_FLOAT_EQ(ship.x, 449.0f);   // the ship is not pushed
    EXPECT_FLOAT_EQ(ship.y, 576.0f);

    freshWorld(1);
    place(asteroids[0], 470.0f, 600.0f);
    ammo = 22;
    resolveCollisions();
    EXPECT_EQ(ammo, 25);

    // Two at once: two lives.
    freshWorld(1);
    place(asteroids[0], 470.0f, 600.0f);
    place(asteroids[1], 520.0f, 650.0f);
    resolveCollisions();
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(played(hitSound), 2);

    // Edges that only touch the ship's 449..576 x 576..728 do not hit.
    // 389.5 is truncated to 389 before the size is added: it ends at 449 too.
    for (auto [x, y] : {std::pair{576.0f, 600.0f}, std::pair{389.0f, 600.0f}, std::pair{389.5f, 600.0f},
                        std::pair{470.0f, 516.0f}, std::pair{470.0f, 728.0f}}) {
        freshWorld(1);
        place(asteroids[0], x, y);
        resolveCollisions();
        EXPECT_EQ(lives, 5) << x << "," << y;
        EXPECT_FLOAT_EQ(asteroids[0].x, x);
    }
    for (auto [x, y] : {std::pair{575.0f, 600.0f}, std::pair{390.0f, 600.0f}, std::pair{470.0f, 517.0f},
                        std::pair{470.0f, 727.9f}}) {
        freshWorld(1);
        place(asteroids[0], x, y);
        resolveCollisions();
        EXPECT_EQ(lives, 4) << x << "," << y;
    }
}

TEST_F(PlayTest, ShootingAnAsteroidScoresTenWithTheScoreSoundFadingWithDistance)
{
    struct Case {
        float shipX, shipY, rockX, rockY, volume;
    };
    for (Case c : {Case{700.0f, 100.0f, 60.0f, 100.0f, 0.5f},        // 640 px
                   Case{500.0f, 500.0f, 200.0f, 100.0f, 0.609375f},  // 300, 400: 500 px
                   Case{0.0f, 0.0f, 1024.0f, 768.0f, 0.0f},          // the whole diagonal
                   Case{200.0f, 600.0f, 200.0f, 472.0f, 0.9f}}) {    // 128 px straight above
        freshWorld(1);
        ship.x = c.shipX;
        ship.y = c.shipY;
        place(asteroids[0], c.rockX, c.rockY);
        place(bullets[0], c.rockX + 10.0f, c.rockY + 10.0f);
        extraLifePoints = 30;
        levelPoints = 40;
        resolveCollisions();
        EXPECT_EQ(score, 10);
        EXPECT_EQ(extraLifePoints, 40);
        EXPECT_EQ(levelPoints, 50);
        EXPECT_EQ(lives, 5);
        EXPECT_FALSE(bullets[0].active);
        EXPECT_TRUE(asteroids[0].active);
        EXPECT_FLOAT_EQ(asteroids[0].x, 474.0f);
        EXPECT_FLOAT_EQ(asteroids[0].y, 236.0f);
        ASSERT_EQ(callLog.sounds, (std::vector<const void*>{scoreSound})) << c.rockX;
        ASSERT_EQ(callLog.soundVolumes.size(), 1u);
        EXPECT_FLOAT_EQ(callLog.soundVolumes[0], c.volume) << c.rockX << "," << c.rockY;
    }
}

TEST_F(PlayTest, EachShotDownsOneAsteroidAndTheReplacementCanBeHitByALaterShot)
{
    // Two asteroids under one shot: only the first is hit.
    place(asteroids[0], 200.0f, 200.0f);
    place(asteroids[1], 205.0f, 205.0f);
    place(bullets[0], 210.0f, 210.0f);
    resolveCollisions();
    EXPECT_EQ(score, 10);
    EXPECT_TRUE(asteroids[1].active);
    EXPECT_FLOAT_EQ(asteroids[1].x, 205.0f);
    EXPECT_FLOAT_EQ(asteroids[0].x, 474.0f);

    // The replacement of the first hit appears at (474, 236), right under a later shot.
    freshWorld(1);
    place(asteroids[0], 200.0f, 200.0f);
    place(bullets[0], 210.0f, 210.0f);
    place(bullets[1], 484.0f, 246.0f);
    resolveCollisions();
    EXPECT_EQ(score, 20);
    EXPECT_EQ(levelPoints, 20);
    EXPECT_FALSE(bullets[0].active);
    EXPECT_FALSE(bullets[1].active);
    EXPECT_FLOAT_EQ(asteroids[0].x, 204.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 252.0f);
    EXPECT_EQ(played(scoreSound), 2);

    // A shot just touching an asteroid's edge misses: 60 wide from 200, the
    // shot's 19 px from 260.
    freshWorld(1);
    place(asteroids[0], 200.0f, 200.0f);
    place(bullets[0], 260.0f, 210.0f);
    place(bullets[1], 181.0f, 210.0f);   // right edge 181 + 19 = 200
    resolveCollisions();
    EXPECT_EQ(score, 0);
}

TEST_F(PlayTest, AmmunitionRewardDependsOnLevelAndDifficultyAndStopsAtTwentyFive)
{
    const int novice[] = {1, 2, 2, 2, 2, 0, 0, 0, 0, 0};
    for (int32_t d : {1, 2}) {
        for (int32_t l = 1; l <= 10; ++l) {
            freshWorld(d);
            level = l;
            ammo = 10;
            place(asteroids[0], 200.0f, 200.0f);
            place(bullets[0], 210.0f, 210.0f);
            resolveCollisions();
            EXPECT_EQ(ammo, 10 + (d == 1 ? novice[l - 1] : 1)) << "difficulty " << d << " level " << l;
        }
    }
    for (auto [l, before] : {std::pair{1, 25}, std::pair{3, 24}, std::pair{4, 25}}) {
        freshWorld(1);
        level = l;
        ammo = before;
        place(asteroids[0], 200.0f, 200.0f);
        place(bullets[0], 210.0f, 210.0f);
        resolveCollisions();
        EXPECT_EQ(ammo, 25) << l << "," << before;
    }
}

// ------------------------------------------------------ extra life, level-up

TEST_F(PlayTest, ExtraLifeComesWhenTheCounterReachesOrPassesItsMark)
{
    struct Case {
        int32_t points;
        bool awarded;
    };
    for (Case c : {Case{240, false}, Case{250, true}, Case{260, true}, Case{400, true}}) {
        freshWorld(1);
        extraLifePoints = c.points;
        step();
        EXPECT_EQ(lives, c.awarded ? 6 : 5) << c.points;
        EXPECT_EQ(oneUpEvent, c.awarded) << c.points;
        EXPECT_EQ(extraLifePoints, c.awarded ? 0 : c.points) << c.points;
        EXPECT_FALSE(levelUpEvent);
        step();
        EXPECT_EQ(lives, c.awarded ? 6 : 5) << "only once: " << c.points;
    }
}

TEST_F(PlayTest, LevelUpWhenTheCounterReachesOrPassesItsMark)
{
    struct Case {
        int32_t points;
        bool up;
    };
    for (Case c : {Case{190, false}, Case{200, true}, Case{210, true}}) {
        freshWorld(1);
        levelPoints = c.points;
        extraLifePoints = 70;
        ammo = 3;
        step();
        EXPECT_EQ(levelUpEvent, c.up) << c.points;
        EXPECT_EQ(level, c.up ? 2 : 1) << c.points;
        EXPECT_EQ(levelPoints, c.up ? 0 : c.points) << c.points;
        EXPECT_EQ(asteroidCount, c.up ? 2 : 1) << c.points;
        EXPECT_EQ(ammo, c.up ? 13 : 3) << c.points;
        EXPECT_EQ(extraLifePoints, 70);
        EXPECT_FALSE(oneUpEvent);
        EXPECT_FALSE(bossLevel);
    }

    // The new level's asteroids: slots 0 and 1 at the next two places, the
    // velocities carried over, vx turned on every other spawn.
    freshWorld(1);
    levelPoints = 200;
    ammo = 20;
    step();
    EXPECT_EQ(ammo, 25);
    ASSERT_TRUE(asteroids[0].active);
    ASSERT_TRUE(asteroids[1].active);
    EXPECT_FALSE(asteroids[2].active);
    EXPECT_FLOAT_EQ(asteroids[0].x, 474.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 236.0f);
    EXPECT_FLOAT_EQ(asteroids[0].vx, -3.0f);
    EXPECT_FLOAT_EQ(asteroids[1].x, 204.0f);
    EXPECT_FLOAT_EQ(asteroids[1].y, 252.0f);
    EXPECT_FLOAT_EQ(asteroids[1].vx, -3.0f);
    EXPECT_TRUE(asteroidFlip);
}

TEST_F(PlayTest, TwoHitsInOneFrameThatPassBothMarksStillCountInTheNextStep)
{
    place(asteroids[0], 200.0f, 200.0f);
    place(asteroids[1], 600.0f, 200.0f);
    place(bullets[0], 210.0f, 210.0f);
    place(bullets[1], 610.0f, 210.0f);
    levelPoints = 190;
    extraLifePoints = 240;
    resolveCollisions();
    EXPECT_EQ(levelPoints, 210);
    EXPECT_EQ(extraLifePoints, 260);
    EXPECT_EQ(level, 1);   // the checks wait for the next step
    EXPECT_EQ(lives, 5);
    step();
    EXPECT_EQ(level, 2);
    EXPECT_EQ(levelPoints, 0);
    EXPECT_TRUE(levelUpEvent);
    EXPECT_EQ(lives, 6);
    EXPECT_EQ(extraLifePoints, 0);
    EXPECT_TRUE(oneUpEvent);
}

TEST_F(PlayTest, TopLevelStaysTenRefillsTenAndPlacesAllTenAgainWithoutABoss)
{
    for (int32_t d : {1, 2}) {
        freshWorld(d);
        level = 10;
        asteroidCount = 10;
        for (Sprite& a : asteroids)
            place(a, 5.0f, 5.0f);
        ammo = 5;
        levelPoints = 200;
        ReferenceRand reference;
        reference();
        reference();   // newGame's spawn
        poll();
        updateWorld();
        EXPECT_EQ(level, 10);
        EXPECT_EQ(asteroidCount, 10);
        EXPECT_EQ(ammo, 15);
        EXPECT_TRUE(levelUpEvent);
        EXPECT_FALSE(bossLevel);
        EXPECT_FALSE(bossAlive());
        for (int i = 0; i < kAsteroidCount; ++i) {
            int x = reference() % 964 + 1;
            int y = reference() % 384 + 1;
            EXPECT_TRUE(asteroids[i].active) << i;
            EXPECT_FLOAT_EQ(asteroids[i].x, static_cast<float>(x)) << "difficulty " << d << " slot " << i;
            EXPECT_FLOAT_EQ(asteroids[i].y, static_cast<float>(y)) << "difficulty " << d << " slot " << i;
        }
    }
}

TEST_F(PlayTest, BossFightsStartOnTheirLevelsForEachDifficulty)
{
    for (int32_t d : {1, 2}) {
        for (int32_t from = 1; from <= 9; ++from) {
            freshWorld(d);
            level = from;
            levelPoints = 200;
            shipDirection = 1 + from % 2;
            bossHealth = 4;
            boss.x = 100.0f;
            boss.vx = -4.5f;
            step();
            const int32_t to = from + 1;
            const bool expected = d == 1 ? (to == 3 || to == 5 || to == 7) : (to == 4 || to == 6 || to == 8);
            EXPECT_EQ(bossLevel, expected) << "difficulty " << d << " to level " << to;
            EXPECT_EQ(bossAlive(), expected) << "difficulty " << d << " to level " << to;
            if (expected) {
                EXPECT_EQ(bossHealth, 30);
                EXPECT_EQ(bossDodgeDirection, shipDirection);
                // The boss carries on where the last fight left it.
                EXPECT_FLOAT_EQ(boss.x, 100.0f);
                EXPECT_FLOAT_EQ(boss.vx, -4.5f);
            }
        }
    }
}

// ------------------------------------------------------------------ boss

TEST_F(PlayTest, BossPatrolsAndTurnsPastEitherEdgeWithoutBeingClamped)
{
    struct Case {
        float x, vx, scale;
        float endX, endVx;
    };
    for (Case c : {Case{803.0f, 3.5f, 1.0f, 806.5f, -3.5f}, Case{801.5f, 3.5f, 1.0f, 805.0f, 3.5f},
                   Case{2.0f, -3.5f, 1.0f, -1.5f, 3.5f}, Case{3.5f, -3.5f, 1.0f, 0.0f, -3.5f},
                   Case{400.0f, 4.5f, 2.0f, 409.0f, 4.5f}, Case{400.0f, -4.5f, 2.0f, 391.0f, -4.5f}}) {
        startFight();
        ship.x = 0.0f;
        ship.y = 600.0f;
        boss.x = c.x;
        boss.vx = c.vx;
        frameScale = c.scale;
        step();
        EXPECT_FLOAT_EQ(boss.x, c.endX) << c.x << "," << c.vx;
        EXPECT_FLOAT_EQ(boss.vx, c.endVx) << c.x << "," << c.vx;
        EXPECT_FLOAT_EQ(boss.y, 150.0f);
    }
}

TEST_F(PlayTest, BossDodgesEachNewTurnOfTheShipWithinAHundredPixels)
{
    freshWorld(1);
    shipDirection = 2;
    startBossFight();
    EXPECT_EQ(bossDodgeDirection, 2);
    ship.y = 600.0f;

    step({DIK_LEFT});   // ship 441, boss 406: a turn close by
    EXPECT_FLOAT_EQ(boss.vx, -3.5f);
    EXPECT_FALSE(shipTurned);
    EXPECT_EQ(bossDodgeDirection, 1);
    step({DIK_LEFT});   // no new turn
    EXPECT_FLOAT_EQ(boss.vx, -3.5f);
    step({DIK_RIGHT});
    EXPECT_FLOAT_EQ(boss.vx, 3.5f);
    EXPECT_EQ(bossDodgeDirection, 2);
    step({DIK_LEFT});
    EXPECT_FLOAT_EQ(boss.vx, -3.5f);
    EXPECT_EQ(bossDodgeDirection, 1);

    // A turn made far away still counts once the boss comes near.
    ship.x = 0.0f;
    boss.x = 500.0f;
    step({DIK_RIGHT});
    EXPECT_FLOAT_EQ(boss.vx, -3.5f);
    EXPECT_TRUE(shipTurned);
    ship.x = 480.0f;
    step();
    EXPECT_FLOAT_EQ(boss.vx, 3.5f);
    EXPECT_FALSE(shipTurned);
    EXPECT_EQ(bossDodgeDirection, 2);

    // Left then right again while far: the ship now flies the way that
    // caused the last dodge, so the boss ignores it even close by.
    ship.x = 0.0f;
    boss.x = 500.0f;
    step({DIK_LEFT});
    step({DIK_RIGHT});
    ship.x = boss.x;
    step();
    EXPECT_FLOAT_EQ(boss.vx, 3.5f);
    EXPECT_TRUE(shipTurned);

    // The distance between left edges must be under 100.
    for (auto [bossX, dodged] : {std::pair{345.5f, false}, std::pair{346.0f, true}, std::pair{545.5f, false},
                                 std::pair{545.0f, true}}) {
        startFight();
        ship.y = 600.0f;
        shipDirection = 1;
        bossDodgeDirection = 2;
        shipTurned = true;
        boss.x = bossX;   // after the patrol step: bossX + 3.5 against the ship at 449
        step();
        EXPECT_FLOAT_EQ(boss.vx, dodged ? -3.5f : 3.5f) << bossX;
        EXPECT_EQ(shipTurned, !dodged) << bossX;
    }
}

TEST_F(PlayTest, BossFiresAPairOnlyWhenBothShotsAreGone)
{
    startFight();
    ship.y = 600.0f;
    ship.x = 0.0f;
    step();
    EXPECT_EQ(played(bossshootSound), 1);
    ASSERT_TRUE(bossShots[0].active);
    ASSERT_TRUE(bossShots[1].active);
    EXPECT_FLOAT_EQ(bossShots[0].x, 411.0f);   // boss at 406 after its step
    EXPECT_FLOAT_EQ(bossShots[1].x, 620.0f);
    EXPECT_FLOAT_EQ(bossShots[0].y, 300.0f);   // 294, then moved 6
    EXPECT_FLOAT_EQ(bossShots[1].y, 300.0f);

    step();
    EXPECT_EQ(played(bossshootSound), 1);
    EXPECT_FLOAT_EQ(bossShots[0].y, 306.0f);

    // One of the pair still falling: no new pair.
    bossShots[0].active = false;
    step();
    EXPECT_EQ(played(bossshootSound), 1);
    EXPECT_FALSE(bossShots[0].active);

    // The last one leaves the screen (y above 768) in this step; the pair
    // comes in the next.
    bossShots[1].y = 762.0f;
    step();
    EXPECT_TRUE(bossShots[1].active);   // 768 exactly is still on screen
    step();
    EXPECT_FALSE(bossShots[1].active);
    EXPECT_EQ(played(bossshootSound), 1);
    step();
    EXPECT_EQ(played(bossshootSound), 2);
    EXPECT_TRUE(bossShots[0].active);
    EXPECT_TRUE(bossShots[1].active);

    // Hero shots fall 8.
    startFight(2);
    ship.x = 0.0f;
    step();
    EXPECT_FLOAT_EQ(bossShots[0].y, 302.0f);
    EXPECT_FLOAT_EQ(bossShots[0].x, 402.5f + 4.5f + 5.0f);
}

TEST_F(PlayTest, RammingTheBossKnocksTheShipDownAndCostsALifePerFrameOfOverlap)
{
    startFight();
    ship.y = 200.0f;
    resolveCollisions();
    EXPECT_FLOAT_EQ(ship.y, 350.0f);
    EXPECT_EQ(lives, 4);
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{hitSound}));
    resolveCollisions();
    EXPECT_EQ(lives, 4);

    // From the top the knock leaves it inside the boss's band: a second life.
    startFight();
    ship.y = 0.0f;
    resolveCollisions();
    EXPECT_FLOAT_EQ(ship.y, 150.0f);
    resolveCollisions();
    EXPECT_FLOAT_EQ(ship.y, 300.0f);
    EXPECT_EQ(lives, 3);
    resolveCollisions();
    EXPECT_EQ(lives, 3);

    // Edges that only touch (boss 402..621 x 150..294).
    for (auto [x, y, hit] : {std::tuple{449.0f, 294.0f, false}, std::tuple{449.0f, 293.0f, true},
                             std::tuple{621.0f, 200.0f, false}, std::tuple{620.0f, 200.0f, true},
                             std::tuple{275.0f, 200.0f, false}, std::tuple{276.0f, 200.0f, true}}) {
        startFight();
        ship.x = x;
        ship.y = y;
        resolveCollisions();
        EXPECT_EQ(lives, hit ? 4 : 5) << x << "," << y;
        EXPECT_FLOAT_EQ(ship.y, hit ? y + 150.0f : y) << x << "," << y;
    }
}

TEST_F(PlayTest, ShotsIntoTheBossTakeHealthAndRefundAmmunitionBeyondTheCap)
{
    startFight();
    place(bullets[0], 500.0f, 200.0f);
    place(bullets[1], 500.0f, 294.0f);   // touches the bottom edge only
    score = 70;
    extraLifePoints = 30;
    levelPoints = 40;
    resolveCollisions();
    EXPECT_EQ(bossHealth, 29);
    EXPECT_EQ(ammo, 26);
    EXPECT_FALSE(bullets[0].active);
    EXPECT_TRUE(bullets[1].active);
    EXPECT_EQ(score, 70);
    EXPECT_EQ(extraLifePoints, 30);
    EXPECT_EQ(levelPoints, 40);
    EXPECT_TRUE(callLog.sounds.empty());

    // Several in one frame can take it below zero.
    startFight();
    bossHealth = 1;
    for (int i = 0; i < 3; ++i)
        place(bullets[i], 420.0f + 40.0f * i, 200.0f);
    resolveCollisions();
    EXPECT_EQ(bossHealth, -2);
    EXPECT_EQ(ammo, 28);
}

TEST_F(PlayTest, BossShotsHitTheShipWhereTheKnockLeftIt)
{
    startFight();
    place(bossShots[0], 460.0f, 600.0f);
    place(bossShots[1], 1000.0f, 600.0f);
    resolveCollisions();
    EXPECT_EQ(lives, 4);
    EXPECT_FALSE(bossShots[0].active);
    EXPECT_TRUE(bossShots[1].active);
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{hitSound}));

    // The ship rams the boss and is knocked into a shot it was clear of.
    startFight();
    ship.y = 200.0f;
    place(bossShots[0], 460.0f, 460.0f);
    resolveCollisions();
    EXPECT_EQ(lives, 3);
    EXPECT_FALSE(bossShots[0].active);
    EXPECT_EQ(played(hitSound), 2);

    // A shot's rectangle is 38 square from its corner (32 x 1.2).
    for (auto [y, hit] : {std::pair{538.0f, false}, std::pair{539.0f, true}}) {
        startFight();
        place(bossShots[0], 460.0f, y);
        resolveCollisions();
        EXPECT_EQ(lives, hit ? 4 : 5) << y;
    }
}

TEST_F(PlayTest, KillingTheBossPaysOnTheNextStepAndTheAsteroidsMoveAgain)
{
    startFight();
    ship.x = 0.0f;
    ship.y = 600.0f;
    const float rockX = asteroids[0].x, rockY = asteroids[0].y;
    // Frozen: neither moved nor tested, even right on top of the ship.
    step();
    EXPECT_FLOAT_EQ(asteroids[0].x, rockX);
    EXPECT_FLOAT_EQ(asteroids[0].y, rockY);
    asteroids[0].x = 10.0f;
    asteroids[0].y = 620.0f;
    resolveCollisions();
    EXPECT_EQ(lives, 5);

    for (int i = 0; i < 3; ++i)
        place(bullets[i], 420.0f + 40.0f * i, 200.0f);
    bossHealth = 2;
    score = 300;
    extraLifePoints = 250;   // no extra life check in the frame the boss dies
    resolveCollisions();
    EXPECT_EQ(bossHealth, -1);
    EXPECT_TRUE(bossAlive());   // still there until the next step
    EXPECT_TRUE(bossLevel);
    EXPECT_EQ(lives, 5);

    // Keep the ship clear of the asteroid when it resumes.
    asteroids[0].x = 700.0f;
    asteroids[0].y = 300.0f;
    asteroids[0].vx = 3.0f;
    asteroids[0].vy = 3.0f;
    step();
    EXPECT_EQ(score, 800);
    EXPECT_EQ(lives, 6);
    EXPECT_TRUE(oneUpEvent);
    EXPECT_EQ(extraLifePoints, 0);
    EXPECT_FALSE(bossLevel);
    EXPECT_FALSE(bossAlive());
    EXPECT_FLOAT_EQ(asteroids[0].x, 700.0f);   // not in the step that ended the fight

    oneUpEvent = false;
    step();
    EXPECT_FLOAT_EQ(asteroids[0].x, 703.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 303.0f);
    EXPECT_EQ(lives, 6);
    EXPECT_FALSE(oneUpEvent);
}
