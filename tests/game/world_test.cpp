// The world records and the small operations every gameplay step shares:
// the random sequence, spawning, the new-game reset, the layout, collision
// rectangles, frame animation and the scrolling star map.
#include "game/frame_time.h"
#include "game/random.h"
#include "game/star_map.h"
#include "game/world.h"
#include "platform/clock.h"
#include "support/support.h"

#include "fresh_world.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

struct WorldTest : testing::Test {
    ScopedPlatform platform{false};
    void SetUp() override { resetWorldForTest(1); }
};

int activeAsteroids()
{
    int count = 0;
    for (const Sprite& a : asteroids)
        count += a.active ? 1 : 0;
    return count;
}

} // namespace

TEST(GameRandom, DrawsTheFixedSequenceOfAFreshRun)
{
    resetGameRand();
    EXPECT_EQ(gameRand(), 16838);
    EXPECT_EQ(gameRand(), 5758);
    EXPECT_EQ(gameRand(), 10113);
    resetGameRand();
    ReferenceRand reference;
    for (int i = 0; i < 5000; ++i) {
        int value = gameRand();
        ASSERT_EQ(value, reference()) << "draw " << i;
        ASSERT_GE(value, 0);
        ASSERT_LE(value, kGameRandMax);
    }
}

TEST_F(WorldTest, SpawnsTakeTheLowestFreeSlotAtTheNextRandomPlaceAndFlipEveryOtherVx)
{
    // newGame's one spawn: the first place of every run, vx turned by the first flip.
    EXPECT_EQ(activeAsteroids(), 1);
    EXPECT_TRUE(asteroids[0].active);
    EXPECT_FLOAT_EQ(asteroids[0].x, 451.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 383.0f);
    EXPECT_FLOAT_EQ(asteroids[0].vx, -3.0f);
    EXPECT_FLOAT_EQ(asteroids[0].vy, 3.0f);
    EXPECT_TRUE(asteroidFlip);

    spawnAsteroid();
    EXPECT_TRUE(asteroids[1].active);
    EXPECT_FLOAT_EQ(asteroids[1].x, 474.0f);
    EXPECT_FLOAT_EQ(asteroids[1].y, 236.0f);
    EXPECT_FLOAT_EQ(asteroids[1].vx, 3.0f);   // second spawn: no flip
    EXPECT_FALSE(asteroidFlip);

    // The velocity a record had is kept; only vx turns, and only on every other spawn.
    asteroids[0].active = false;
    asteroids[0].vx = 5.5f;
    asteroids[0].vy = -2.25f;
    EXPECT_EQ(findFreeAsteroid(), 0);
    spawnAsteroid();
    EXPECT_FLOAT_EQ(asteroids[0].x, 204.0f);
    EXPECT_FLOAT_EQ(asteroids[0].y, 252.0f);
    EXPECT_FLOAT_EQ(asteroids[0].vx, -5.5f);
    EXPECT_FLOAT_EQ(asteroids[0].vy, -2.25f);
    EXPECT_TRUE(asteroidFlip);
    EXPECT_EQ(findFreeAsteroid(), 2);
}

TEST_F(WorldTest, SpawnWithEveryAsteroidActiveChangesNothingAndDrawsNoNumber)
{
    for (int i = 0; i < kAsteroidCount; ++i) {
        asteroids[i].active = true;
        asteroids[i].x = 10.0f * i;
        asteroids[i].y = 5.0f * i;
        asteroids[i].vx = 3.0f;
    }
    resetGameRand();
    EXPECT_EQ(findFreeAsteroid(), -1);
    bool flipBefore = asteroidFlip;
    spawnAsteroid();
    EXPECT_EQ(asteroidFlip, flipBefore);
    for (int i = 0; i < kAsteroidCount; ++i) {
        EXPECT_FLOAT_EQ(asteroids[i].x, 10.0f * i);
        EXPECT_FLOAT_EQ(asteroids[i].y, 5.0f * i);
        EXPECT_FLOAT_EQ(asteroids[i].vx, 3.0f);
    }

    // Of two free slots the lower is taken, and it gets the first place of
    // the sequence: the refused spawn drew nothing.
    asteroids[7].active = false;
    asteroids[3].active = false;
    EXPECT_EQ(findFreeAsteroid(), 3);
    spawnAsteroid();
    EXPECT_TRUE(asteroids[3].active);
    EXPECT_FALSE(asteroids[7].active);
    EXPECT_FLOAT_EQ(asteroids[3].x, 451.0f);
    EXPECT_FLOAT_EQ(asteroids[3].y, 383.0f);
}

TEST_F(WorldTest, NewGameSetsTheStartingValuesOfEachDifficulty)
{
    struct Case {
        int32_t difficulty;
        float mapSpeed, bossVx, shotVy, asteroidSpeed;
    };
    for (Case c : {Case{1, -1.0f, 3.5f, 6.0f, 3.0f}, Case{2, -2.0f, 4.5f, 8.0f, 4.0f}}) {
        SCOPED_TRACE(c.difficulty);
        lives = -3;
        score = 990;
        ammo = -1;
        level = 7;
        asteroidCount = 7;
        extraLifePoints = 120;
        levelPoints = 150;
        bossLevel = true;
        boss.active = true;
        bossHealth = -2;
        for (Sprite& b : bullets)
            b.active = true;
        for (Sprite& s : bossShots)
            s.active = true;
        for (Sprite& a : asteroids)
            a.active = true;
        difficulty = c.difficulty;
        resetGameRand();
        EXPECT_TRUE(newGame());

        EXPECT_EQ(difficulty, c.difficulty);
        EXPECT_EQ(lives, 5);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(ammo, 25);
        EXPECT_EQ(level, 1);
        EXPECT_EQ(asteroidCount, 1);
        EXPECT_EQ(extraLifePoints, 0);
        EXPECT_EQ(levelPoints, 0);
        EXPECT_FLOAT_EQ(mapYSpeed, c.mapSpeed);

        EXPECT_EQ(ship.width, 127);
        EXPECT_EQ(ship.height, 152);
        EXPECT_FLOAT_EQ(ship.vx, 8.0f);
        EXPECT_FLOAT_EQ(ship.vy, 8.0f);
        EXPECT_FLOAT_EQ(ship.x, 449.0f);
        EXPECT_FLOAT_EQ(ship.y, 576.0f);

        for (const Sprite& b : bullets) {
            EXPECT_FALSE(b.active);
            EXPECT_EQ(b.width, 32);
            EXPECT_EQ(b.height, 32);
            EXPECT_FLOAT_EQ(b.vy, -12.0f);
            EXPECT_FLOAT_EQ(b.scale, 0.6f);
            EXPECT_EQ(b.frame, 55);
            EXPECT_EQ(b.framesPerRow, 8);
        }

        EXPECT_FALSE(bossLevel);
        EXPECT_FALSE(boss.active);
        EXPECT_FALSE(bossAlive());
        EXPECT_EQ(boss.width, 219);
        EXPECT_EQ(boss.height, 144);
        EXPECT_FLOAT_EQ(boss.scale, 1.0f);
        EXPECT_FLOAT_EQ(boss.x, 402.5f);
        EXPECT_FLOAT_EQ(boss.y, 150.0f);
        EXPECT_FLOAT_EQ(boss.vx, c.bossVx);
        EXPECT_EQ(bossHealth, 30);

        for (const Sprite& s : bossShots) {
            EXPECT_FALSE(s.active);
            EXPECT_EQ(s.width, 32);
            EXPECT_EQ(s.height, 32);
            EXPECT_FLOAT_EQ(s.y, 294.0f);
            EXPECT_FLOAT_EQ(s.vy, c.shotVy);
            EXPECT_FLOAT_EQ(s.scale, 1.2f);
            EXPECT_EQ(s.frame, 48);
            EXPECT_FLOAT_EQ(s.angle, -90.0f);
            EXPECT_EQ(s.framesPerRow, 8);
        }

        EXPECT_FLOAT_EQ(asteroidSpeed, c.asteroidSpeed);
        for (int i = 0; i < kAsteroidCount; ++i) {
            const Sprite& a = asteroids[i];
            EXPECT_EQ(a.active, i == 0) << i;
            EXPECT_EQ(a.width, 60);
            EXPECT_EQ(a.height, 60);
            EXPECT_EQ(a.framesPerRow, 8);
            EXPECT_EQ(a.firstFrame, 0);
            EXPECT_EQ(a.lastFrame, 63);
            EXPECT_EQ(a.frameDelay, 10);
            EXPECT_FLOAT_EQ(a.vy, c.asteroidSpeed);
            if (i > 0) {
                EXPECT_FLOAT_EQ(a.vx, c.asteroidSpeed) << i;
            }
        }
        EXPECT_FLOAT_EQ(asteroids[0].x, 451.0f);
        EXPECT_FLOAT_EQ(asteroids[0].y, 383.0f);
    }
}

TEST_F(WorldTest, NewGameCarriesOverTheMapTheTurnsAndTheRecordsFrames)
{
    mapYExact = 123.75f;
    mapY = 123;
    shipDirection = 1;
    shipTurned = true;
    bossDodgeDirection = 2;
    asteroidFlip = true;
    oneUpEvent = true;
    levelUpEvent = true;
    bossShots[0].x = 77.5f;
    bossShots[1].x = 300.25f;
    ship.frame = 3;
    boss.frame = 2;
    for (int i = 0; i < kAsteroidCount; ++i) {
        asteroids[i].frame = 40 + i;
        asteroids[i].lastFrameTick = 1000 + i;
        asteroids[i].x = 7.0f * i;
        asteroids[i].y = 3.0f * i;
    }
    difficulty = 2;
    newGame();

    EXPECT_FLOAT_EQ(mapYExact, 123.75f);
    EXPECT_EQ(mapY, 123);
    EXPECT_FLOAT_EQ(mapYSpeed, -2.0f);
    EXPECT_EQ(shipDirection, 1);
    EXPECT_TRUE(shipTurned);
    EXPECT_EQ(bossDodgeDirection, 2);
    EXPECT_TRUE(oneUpEvent);
    EXPECT_TRUE(levelUpEvent);
    EXPECT_FLOAT_EQ(bossShots[0].x, 77.5f);
    EXPECT_FLOAT_EQ(bossShots[1].x, 300.25f);
    EXPECT_EQ(ship.frame, 3);
    EXPECT_EQ(boss.frame, 2);
    // The one spawn toggled the flag back to false: no flip this time.
    EXPECT_FALSE(asteroidFlip);
    EXPECT_FLOAT_EQ(asteroids[0].vx, 4.0f);
    for (int i = 0; i < kAsteroidCount; ++i) {
        EXPECT_EQ(asteroids[i].frame, 40 + i);
        EXPECT_EQ(asteroids[i].lastFrameTick, 1000 + i);
        if (i > 0) {
            EXPECT_FLOAT_EQ(asteroids[i].x, 7.0f * i);
            EXPECT_FLOAT_EQ(asteroids[i].y, 3.0f * i);
        }
    }
}

TEST_F(WorldTest, LayoutHoldsTheFixedScreenPositionsAndTheMenuShip)
{
    initLayout();
    struct Case {
        const char* name;
        ScreenPoint point;
        int x, y;
    };
    for (Case c : {Case{"livesIcon", livesIconPos, 875, 30}, Case{"livesText", livesTextPos, 945, 45},
                   Case{"scoreText", scoreTextPos, 875, 115}, Case{"levelText", levelTextPos, 875, 165},
                   Case{"logo", logoPos, 312, 134}, Case{"getReady", getReadyTextPos, 462, 384},
                   Case{"scoreList", scoreListPos, 352, 314}, Case{"version", versionLabelPos, 674, 738},
                   Case{"continue", continuePos, 412, 324}, Case{"newGame", newGamePos, 412, 384},
                   Case{"highscore", highscorePos, 412, 444}, Case{"screenMode", screenModePos, 412, 504},
                   Case{"quit", quitPos, 412, 564}, Case{"novice", novicePos, 412, 384},
                   Case{"hero", heroPos, 412, 444}}) {
        EXPECT_EQ(c.point.x, c.x) << c.name;
        EXPECT_EQ(c.point.y, c.y) << c.name;
    }
    EXPECT_FLOAT_EQ(menuShip.x, 175.0f);
    EXPECT_FLOAT_EQ(menuShip.y, 400.0f);
    EXPECT_EQ(menuShip.frame, 5);
    EXPECT_EQ(menuShip.framesPerRow, 5);
    EXPECT_EQ(menuShip.width, 127);
    EXPECT_EQ(menuShip.height, 152);
    EXPECT_FLOAT_EQ(menuShip.scale, 1.3f);
    EXPECT_EQ(menuShip.firstFrame, 5);
    EXPECT_EQ(menuShip.lastFrame, 9);
    EXPECT_EQ(menuShip.frameDelay, 150);
    EXPECT_EQ(menuShip.frameStep, 1);
    EXPECT_FLOAT_EQ(menuShip.angle, 0.0f);
}

TEST(SpriteRect, TruncatesThePositionThenScalesTheSizeFromIt)
{
    struct Case {
        float x, y;
        int width, height;
        float scale, angle;
        SpriteRect expected;
    };
    for (Case c : {
             Case{100.7f, 50.2f, 32, 32, 0.6f, 0.0f, {100, 50, 119, 69}},     // a bullet
             Case{100.7f, 50.2f, 32, 32, 0.6f, 45.0f, {100, 50, 119, 69}},    // the angle plays no part
             Case{-0.9f, -7.5f, 60, 60, 1.0f, 0.0f, {0, -7, 60, 53}},          // toward zero, not down
             Case{411.0f, 300.0f, 32, 32, 1.2f, -90.0f, {411, 300, 449, 338}}, // a boss shot: 38.4 -> 38
             Case{402.5f, 150.0f, 219, 144, 1.0f, 0.0f, {402, 150, 621, 294}}, // the boss
             Case{875.0f, 30.0f, 127, 152, 0.5f, 0.0f, {875, 30, 938, 106}},   // 63.5 + 875 -> 938
         }) {
        Sprite s;
        s.x = c.x;
        s.y = c.y;
        s.width = c.width;
        s.height = c.height;
        s.scale = c.scale;
        s.angle = c.angle;
        SpriteRect r = spriteRect(s);
        EXPECT_EQ(r.left, c.expected.left) << c.x;
        EXPECT_EQ(r.top, c.expected.top) << c.y;
        EXPECT_EQ(r.right, c.expected.right) << c.x;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.y;
    }
}

TEST(SpriteRect, OverlapIsStrictSoTouchingEdgesDoNotCount)
{
    SpriteRect a{100, 100, 200, 200};
    struct Case {
        SpriteRect b;
        bool overlap;
    };
    for (Case c : {Case{{200, 100, 260, 160}, false},   // touching on the right
                   Case{{40, 100, 100, 160}, false},    // touching on the left
                   Case{{100, 200, 160, 260}, false},   // touching below
                   Case{{100, 40, 160, 100}, false},    // touching above
                   Case{{199, 199, 260, 260}, true},    // one pixel in the corner
                   Case{{40, 40, 101, 101}, true},
                   Case{{120, 120, 130, 130}, true},    // inside
                   Case{{0, 0, 400, 400}, true},        // around
                   Case{{300, 300, 400, 400}, false}}) {
        EXPECT_EQ(rectsOverlap(a, c.b), c.overlap) << c.b.left << "," << c.b.top;
        EXPECT_EQ(rectsOverlap(c.b, a), c.overlap) << c.b.left << "," << c.b.top;
    }
}

TEST_F(WorldTest, AnimationStepsOnlyAfterItsDelayAndWrapsAtEitherEnd)
{
    // An asteroid: frames 0 to 63, 10 ms each.
    Sprite rock = asteroids[0];
    rock.frame = 62;
    rock.lastFrameTick = static_cast<int32_t>(readTickCount());
    const int32_t start = rock.lastFrameTick;
    sleepMilliseconds(10);   // exactly the delay: not yet
    advanceAnimation(rock);
    EXPECT_EQ(rock.frame, 62);
    EXPECT_EQ(rock.lastFrameTick, start);
    sleepMilliseconds(1);
    advanceAnimation(rock);
    EXPECT_EQ(rock.frame, 63);
    EXPECT_EQ(rock.lastFrameTick, start + 11);
    advanceAnimation(rock);   // the delay counts from the last advance
    EXPECT_EQ(rock.frame, 63);
    sleepMilliseconds(11);
    advanceAnimation(rock);
    EXPECT_EQ(rock.frame, 0);
    EXPECT_EQ(rock.lastFrameTick, start + 22);

    // The menu ship: frames 5 to 9, 150 ms each.
    initLayout();
    menuShip.lastFrameTick = static_cast<int32_t>(readTickCount());
    int seen[6];
    for (int& frame : seen) {
        sleepMilliseconds(151);
        advanceAnimation(menuShip);
        frame = menuShip.frame;
    }
    EXPECT_EQ(seen[0], 6);
    EXPECT_EQ(seen[3], 9);
    EXPECT_EQ(seen[4], 5);
    EXPECT_EQ(seen[5], 6);

    // Stepping backwards wraps from the first frame to the last.
    menuShip.frame = 5;
    menuShip.frameStep = -1;
    sleepMilliseconds(151);
    advanceAnimation(menuShip);
    EXPECT_EQ(menuShip.frame, 9);
}

TEST_F(WorldTest, ScrollMapTurnsAtTheTopOneStepLate)
{
    frameScale = 1.0f;
    mapYExact = 100.0f;
    mapYSpeed = -2.0f;
    for (int i = 0; i < 50; ++i)
        scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, 0.0f);
    EXPECT_EQ(mapY, 0);
    EXPECT_FLOAT_EQ(mapYSpeed, -2.0f);
    scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, -2.0f);   // not clamped
    EXPECT_EQ(mapY, 0);
    EXPECT_FLOAT_EQ(mapYSpeed, 2.0f);
    scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, 0.0f);
    EXPECT_EQ(mapY, 0);
    EXPECT_FLOAT_EQ(mapYSpeed, 2.0f);

    // Between -1 and 0 the truncated position is 0: no turn.
    mapYExact = 0.5f;
    mapYSpeed = -1.0f;
    scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, -0.5f);
    EXPECT_EQ(mapY, 0);
    EXPECT_FLOAT_EQ(mapYSpeed, -1.0f);

    // The step follows the frame's speed factor.
    mapYExact = 3072.0f;
    mapYSpeed = -2.0f;
    frameScale = 2.5f;
    scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, 3067.0f);
    EXPECT_EQ(mapY, 3067);
}

TEST_F(WorldTest, ScrollMapTurnsAtTheBottomAndNeverLeavesTheMap)
{
    frameScale = 1.0f;
    mapYExact = 5309.0f;
    mapYSpeed = 2.0f;
    scrollMap();
    EXPECT_EQ(mapY, 5311);
    EXPECT_FLOAT_EQ(mapYSpeed, 2.0f);
    scrollMap();
    EXPECT_FLOAT_EQ(mapYExact, 5313.0f);
    EXPECT_EQ(mapY, 5311);
    EXPECT_FLOAT_EQ(mapYSpeed, -2.0f);
    scrollMap();
    EXPECT_EQ(mapY, 5311);
    EXPECT_FLOAT_EQ(mapYSpeed, -2.0f);

    // Hero speed with an uneven, large factor: always inside 0..5311, and it
    // keeps turning.
    mapYExact = 3072.0f;
    mapYSpeed = -2.0f;
    frameScale = 7.3f;
    int turns = 0;
    float lastSpeed = mapYSpeed;
    for (int i = 0; i < 5000; ++i) {
        scrollMap();
        ASSERT_GE(mapY, 0);
        ASSERT_LE(mapY, 5311);
        turns += mapYSpeed != lastSpeed ? 1 : 0;
        lastSpeed = mapYSpeed;
    }
    EXPECT_GE(turns, 8);
    EXPECT_FLOAT_EQ(std::abs(mapYSpeed), 2.0f);
}

TEST(StarMapTiles, OneBlockOfTwelveRowsRepeatedEightTimes)
{
    ASSERT_EQ(kMapTiles.size(), 1536u);
    EXPECT_EQ(kMapTiles[0], 1);
    EXPECT_EQ(kMapTiles[1], 2);
    EXPECT_EQ(kMapTiles[15], 16);
    EXPECT_EQ(kMapTiles[16], 17);
    EXPECT_EQ(kMapTiles[11 * 16 + 15], 192);
    EXPECT_EQ(kMapTiles[12 * 16], 1);
    EXPECT_EQ(kMapTiles[95 * 16 + 15], 192);
    EXPECT_EQ(kMapTiles[95 * 16], 177);
    for (int row = 0; row < 96; ++row)
        for (int column = 0; column < 16; ++column)
            ASSERT_EQ(kMapTiles[row * 16 + column], kMapTiles[(row % 12) * 16 + column]) << row << "," << column;
}
