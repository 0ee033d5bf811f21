// The play frame as the frame driver runs it: what is drawn and in which
// order (map, HUD, ship, shots, ammunition, badge, banners, then asteroids or
// the boss), the banner pause, and the get-ready countdown before a new game.
#include "app/frame_driver.h"
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/gameplay.h"
#include "game/random.h"
#include "game/world.h"
#include "input/input.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "platform/script.h"
#include "render/assets.h"
#include "render/drawing.h"
#include "render/format.h"
#include "screens/countdown.h"
#include "screens/hud.h"
#include "screens/screen_state.h"
#include "support/started_game.h"
#include "support/support.h"

#include "fresh_world.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

void freshWorld(int32_t chosenDifficulty)
{
    resetWorldForTest(chosenDifficulty);
    // Play, as the difficulty selection and the countdown leave it.
    menuActive = false;
    difficultyMenuActive = false;
    getReadyPending = false;
    gameInProgress = true;
}

std::string nameOf(const void* handle)
{
    const std::pair<const void*, const char*> names[] = {
        {spaceshipTexture, "spaceship"}, {bulletsTexture, "bullets"},   {ammoguiTexture, "ammogui"},
        {ammogui2Texture, "ammogui2"},   {asteroidTexture, "asteroid"}, {skill1Texture, "skill1"},
        {skill2Texture, "skill2"},       {oneUpTexture, "1up"},         {levelupTexture, "levelup"},
        {bossTexture, "boss"},           {bosshealthTexture, "bosshealth"}, {fontArial26, "arial26"},
        {gamelogoTexture, "gamelogo"},   {gameoverTexture, "gameover"},
    };
    for (auto [h, name] : names)
        if (h == handle)
            return name;
    return "?";
}

std::string describe(const LoggedDraw& r)
{
    std::ostringstream out;
    switch (r.op) {
    case DrawOp::Map:
        out << "map " << r.x << "," << r.y;
        break;
    case DrawOp::Raw:
        out << "raw " << nameOf(r.handle) << " " << r.x << "," << r.y;
        break;
    case DrawOp::Text:
        out << "text " << nameOf(r.handle) << " " << r.x << "," << r.y << " " << std::hex << r.colour << std::dec
            << " '" << r.text << "'";
        break;
    case DrawOp::Sprite:
        out << nameOf(r.handle) << " " << r.x << "," << r.y << " " << r.width << "x" << r.height << " f" << r.frame
            << "/" << r.framesPerRow << " r" << r.rotation << " s" << r.scale;
        break;
    }
    return out.str();
}

std::vector<std::string> presented()
{
    std::vector<std::string> list;
    for (const LoggedDraw& r : callLog.presented)
        list.push_back(describe(r));
    return list;
}

// The HUD after a new game and the column and badge of a full Novice supply.
std::vector<std::string> hudFor(const char* lives, const char* score, const char* level)
{
    return {"spaceship 875,30 127x152 f7/5 r0 s0.5", std::string("text arial26 945,45 ff72745f 'x ") + lives + "'",
            std::string("text arial26 875,115 ff72745f 'Score: ") + score + "'",
            std::string("text arial26 875,165 ff72745f 'Level: ") + level + "'"};
}

std::vector<std::string> ammoColumn(const char* texture, int icons)
{
    std::vector<std::string> list;
    for (int i = 0; i < icons; ++i)
        list.push_back(std::string("raw ") + texture + " 0," + std::to_string(736 - 32 * i));
    return list;
}

void append(std::vector<std::string>& list, const std::vector<std::string>& more)
{
    list.insert(list.end(), more.begin(), more.end());
}

int countStarting(const std::vector<std::string>& list, const std::string& prefix)
{
    int count = 0;
    for (const std::string& s : list)
        count += s.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

float radians(double degrees) { return static_cast<float>(degrees * 0.017453292519444445); }

void useScript(const std::string& text)
{
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(parseReplayScript(text, steps, error)) << error;
    loadInputScript(std::move(steps));
}

void runFrame()
{
    beginCallLog();
    FrameDriver();
}

struct PlayFrameTest : StartedGameTest {
    void SetUp() override
    {
        StartedGameTest::SetUp();
        if (!HasFatalFailure())
            freshWorld(1);
    }
};

} // namespace

TEST(FormatInt, PlainDecimalWithOnlyAMinusSign)
{
    struct Case {
        int32_t value;
        const char* text;
    };
    for (Case c : {Case{0, "0"}, Case{7, "7"}, Case{-42, "-42"}, Case{1000, "1000"}, Case{1234567, "1234567"},
                   Case{-10, "-10"}, Case{INT_MAX, "2147483647"}, Case{INT_MIN, "-2147483648"}})
        EXPECT_EQ(formatInt(c.value), c.text) << c.value;
}

TEST_F(PlayFrameTest, PlayFrameDrawsMapHudShipAmmunitionBadgeThenAsteroids)
{
    runFrame();
    EXPECT_EQ(lastFrameMode, FrameMode::Play);
    EXPECT_EQ(callLog.presents, 1);
    EXPECT_TRUE(callLog.sleeps.empty());
    EXPECT_TRUE(callLog.sounds.empty());
    // The asteroid has moved (-3, +3) and the map one pixel up before drawing.
    std::vector<std::string> expected{"map 0,63"};
    append(expected, hudFor("5", "0", "1"));
    expected.push_back("spaceship 449,576 127x152 f7/5 r0 s1");
    append(expected, ammoColumn("ammogui", 24));
    expected.push_back("skill1 924,708 64x64 f0/1 r0 s0.7");
    expected.push_back("asteroid 448,386 60x60 f0/8 r0 s1");
    EXPECT_EQ(presented(), expected);

    // The view shows the map from mapY mod 64.
    mapYExact = 71.0f;
    score = -50;
    level = 10;
    lives = 12;
    runFrame();
    std::vector<std::string> list = presented();
    ASSERT_GE(list.size(), 5u);
    EXPECT_EQ(list.front(), "map 0,6");
    std::vector<std::string> hud(list.begin() + 1, list.begin() + 5);
    EXPECT_EQ(hud, hudFor("12", "-50", "10"));
}

TEST_F(PlayFrameTest, ShipIsAlwaysFrameSevenWhileShotsAndAsteroidsUseTheirRecords)
{
    ship.frame = 3;
    ship.framesPerRow = 2;
    ship.angle = 45.0f;
    ship.scale = 2.0f;
    ship.active = false;
    ship.width = 100;
    ship.height = 80;
    bullets[3].active = true;
    bullets[3].x = 100.7f;
    bullets[3].y = 300.9f;   // rises 12 before it is drawn
    bullets[3].angle = 30.0f;
    bullets[1].active = true;
    bullets[1].x = 200.2f;
    bullets[1].y = 400.5f;
    asteroids[0].x = 0.5f;
    asteroids[0].y = 100.9f;
    asteroids[0].vx = -3.0f;   // to -2.5: drawn at -2, toward zero
    asteroids[0].vy = 0.0f;
    asteroids[0].frame = 17;
    asteroids[0].angle = 45.0f;
    asteroids[0].scale = 2.0f;
    asteroids[0].lastFrameTick = static_cast<int32_t>(readTickCount());
    runFrame();

    std::vector<std::string> list = presented();
    ASSERT_EQ(list.size(), 1u + 4u + 1u + 2u + 24u + 1u + 1u);
    EXPECT_EQ(list[1], "spaceship 875,30 100x80 f7/5 r0 s0.5");   // the lives icon follows the ship's size
    EXPECT_EQ(list[5], "spaceship 449,576 100x80 f7/5 r0 s1");
    EXPECT_EQ(list[6], "bullets 200,388 32x32 f55/8 r0 s0.6");
    const LoggedDraw& rotated = callLog.presented[7];
    EXPECT_EQ(rotated.x, 100);
    EXPECT_EQ(rotated.y, 288);
    EXPECT_EQ(rotated.frame, 55);
    EXPECT_EQ(rotated.framesPerRow, 8);
    EXPECT_FLOAT_EQ(rotated.scale, 0.6f);
    EXPECT_EQ(rotated.rotation, radians(30.0));
    EXPECT_EQ(list.back(), "asteroid -2,100 60x60 f17/8 r0 s1");
}

TEST_F(PlayFrameTest, AmmunitionColumnAndBadgeFollowTheSupplyAndTheDifficulty)
{
    struct Case {
        int32_t difficulty, ammo;
        const char* icon;
        int icons;
        const char* badge;
    };
    for (Case c : {Case{1, 1, "ammogui", 1, "skill1"}, Case{1, 0, "ammogui", 0, "skill1"},
                   Case{1, -1, "ammogui", 0, "skill1"}, Case{2, 24, "ammogui2", 24, "skill2"},
                   Case{2, 25, "ammogui2", 24, "skill2"}, Case{2, 30, "ammogui2", 24, "skill2"},
                   Case{2, 7, "ammogui2", 7, "skill2"}, Case{3, 5, "", 0, ""}}) {
        freshWorld(c.difficulty);
        ammo = c.ammo;
        runFrame();
        std::vector<std::string> list = presented();
        EXPECT_EQ(countStarting(list, "raw "), c.icons) << c.difficulty << "/" << c.ammo;
        std::vector<std::string> column(list.begin() + 6, list.begin() + 6 + c.icons);
        EXPECT_EQ(column, ammoColumn(c.icon, c.icons)) << c.difficulty << "/" << c.ammo;
        const std::string badge = std::string(c.badge) + " 924,708 64x64 f0/1 r0 s0.7";
        EXPECT_EQ(countStarting(list, "skill"), *c.badge ? 1 : 0) << c.difficulty;
        if (*c.badge) {
            EXPECT_EQ(list[6 + c.icons], badge) << c.difficulty << "/" << c.ammo;
        }
    }
}

TEST_F(PlayFrameTest, BothBannersInOneFrameShareOnePauseAndTheTimerRestartsAfterIt)
{
    extraLifePoints = 250;
    levelPoints = 200;
    runFrame();
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{oneUpSound, levelupSound}));
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000}));
    EXPECT_FALSE(oneUpEvent);
    EXPECT_FALSE(levelUpEvent);
    EXPECT_EQ(lastCounter, readPerformanceCounter());   // timed anew after the second
    std::vector<std::string> list = presented();
    // After the badge, before the new level's two asteroids.
    std::vector<std::string> tail(list.end() - 5, list.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"skill1 924,708 64x64 f0/1 r0 s0.7", "1up 452,324 120x120 f0/1 r0 s0.7",
                                              "levelup 452,324 120x120 f0/1 r0 s0.7",
                                              "asteroid 474,236 60x60 f0/8 r0 s1",
                                              "asteroid 204,252 60x60 f0/8 r0 s1"}));
    EXPECT_EQ(list[2], "text arial26 945,45 ff72745f 'x 6'");
    EXPECT_EQ(list[4], "text arial26 875,165 ff72745f 'Level: 2'");

    // The next pass comes 20 ms after the pause: an ordinary step.
    advanceClockForPass();
    runFrame();
    EXPECT_FLOAT_EQ(frameScale, 1.0f);
    EXPECT_TRUE(callLog.sleeps.empty());
    EXPECT_EQ(countStarting(presented(), "1up"), 0);

    // One banner alone pauses too.
    levelPoints = 200;
    advanceClockForPass();
    runFrame();
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{levelupSound}));
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000}));
    EXPECT_EQ(countStarting(presented(), "levelup"), 1);
    EXPECT_EQ(countStarting(presented(), "1up"), 0);
}

TEST_F(PlayFrameTest, BossLevelDrawsTheBossItsHealthBarAndItsShotsInsteadOfAsteroids)
{
    startBossFight();
    runFrame();
    std::vector<std::string> list = presented();
    std::vector<std::string> expected{"skill1 924,708 64x64 f0/1 r0 s0.7", "boss 406,150 219x144 f0/1 r0 s1"};
    for (int i = 0; i < 11; ++i)
        expected.push_back("raw bosshealth 934," + std::to_string(598 - 32 * i));
    expected.push_back("bullets 411,300 32x32 f48/8 r-1.5708 s1.2");
    expected.push_back("bullets 620,300 32x32 f48/8 r-1.5708 s1.2");
    ASSERT_GE(list.size(), expected.size());
    std::vector<std::string> tail(list.end() - static_cast<long>(expected.size()), list.end());
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(callLog.presented.back().rotation, radians(-90.0));
    EXPECT_EQ(countStarting(list, "asteroid"), 0);

    struct Case {
        int32_t health;
        int bullets;   // hits in this frame's collisions
        int segments;
    };
    for (Case c : {Case{30, 0, 11}, Case{2, 0, 1}, Case{3, 0, 2}, Case{5, 0, 2}, Case{6, 0, 3},
                   Case{1, 1, 1}, Case{1, 3, 1}, Case{72, 0, 25}, Case{75, 0, 25}, Case{100, 0, 25}}) {
        freshWorld(1);
        startBossFight();
        bossHealth = c.health;
        for (int i = 0; i < c.bullets; ++i) {
            bullets[i].active = true;
            bullets[i].x = 420.0f + 40.0f * i;
            bullets[i].y = 212.0f;
        }
        runFrame();
        list = presented();
        EXPECT_EQ(bossHealth, c.health - c.bullets);
        EXPECT_EQ(countStarting(list, "boss "), 1) << c.health;   // a boss hit to 0 or below is still drawn
        EXPECT_EQ(countStarting(list, "raw bosshealth"), c.segments) << c.health << "-" << c.bullets;
        if (c.segments == 25) {
            EXPECT_EQ(countStarting(list, "raw bosshealth 934,-170"), 1);
        }
    }
}

TEST_F(PlayFrameTest, BossLevelWithTheBossDeadDrawsNeitherAsteroidsNorBossShots)
{
    bossLevel = true;
    boss.active = false;
    bossHealth = 10;
    for (Sprite& shot : bossShots) {
        shot.active = true;
        shot.x = 300.0f;
        shot.y = 400.0f;
    }
    runFrame();
    std::vector<std::string> list = presented();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.back(), "skill1 924,708 64x64 f0/1 r0 s0.7");
    EXPECT_EQ(countStarting(list, "asteroid"), 0);
    EXPECT_EQ(countStarting(list, "bullets"), 0);
    EXPECT_EQ(countStarting(list, "boss"), 0);
    EXPECT_EQ(countStarting(list, "raw bosshealth"), 0);
}

TEST_F(PlayFrameTest, CountdownShowsThreeHeldFramesThenPlayGoesOnWithTheTimerRestarted)
{
    getReadyPending = true;
    gameInProgress = false;
    useScript("RIGHT\n");
    lastCounter = readPerformanceCounter() - 20000;   // the last menu frame was 20 ms ago
    runFrame();
    EXPECT_EQ(callLog.screens.size(), 1u);
    ASSERT_FALSE(callLog.sounds.empty());
    EXPECT_EQ(callLog.sounds.front(), countdownSound);
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000, 1000, 1000}));
    EXPECT_EQ(callLog.presents, 4);   // three counts and the play frame
    EXPECT_TRUE(gameInProgress);
    EXPECT_FALSE(getReadyPending);
    // The play step in the same call still used the factor measured before
    // the countdown: 8 pixels, not three seconds' worth.
    EXPECT_FLOAT_EQ(ship.x, 457.0f);
    EXPECT_EQ(countStarting(presented(), "text arial26 462,384"), 0);

    advanceClockForPass();
    runFrame();
    EXPECT_FLOAT_EQ(frameScale, 1.0f);
    EXPECT_FLOAT_EQ(targetFps, 50.0f);
    EXPECT_TRUE(callLog.screens.empty());
    EXPECT_TRUE(callLog.sleeps.empty());
    EXPECT_EQ(callLog.presents, 1);
}

TEST_F(PlayFrameTest, CountdownFramesShowTheFrozenSceneUnderTheCount)
{
    // Shots, banners and the boss have no place on the countdown.
    bullets[0].active = true;
    bullets[0].x = 300.0f;
    bullets[0].y = 300.0f;
    oneUpEvent = true;
    difficulty = 2;
    initTimer(30.0f);
    getReadyPending = true;
    gameInProgress = false;
    beginCallLog();
    EXPECT_TRUE(runGetReadyCountdown());
    EXPECT_EQ(callLog.presents, 3);
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000, 1000, 1000}));
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{countdownSound}));
    EXPECT_TRUE(gameInProgress);
    EXPECT_FALSE(getReadyPending);
    EXPECT_TRUE(oneUpEvent);
    EXPECT_FLOAT_EQ(targetFps, 50.0f);
    EXPECT_EQ(lastCounter, readPerformanceCounter());

    std::vector<std::string> expected{"map 0,0", "spaceship 449,576 127x152 f7/5 r0 s1",
                                      "asteroid 451,383 60x60 f0/8 r0 s1", "skill2 924,708 64x64 f0/1 r0 s0.7"};
    append(expected, ammoColumn("ammogui2", 24));
    append(expected, hudFor("5", "0", "1"));
    expected.push_back("text arial26 462,384 ff72745f 'Get ready: 1'");
    EXPECT_EQ(presented(), expected);
    EXPECT_FLOAT_EQ(asteroids[0].x, 451.0f);
    EXPECT_EQ(mapY, 3072);
}

TEST_F(PlayFrameTest, FrameAfterTheKillingHitShowsTheBannerAndTheAsteroidsAgain)
{
    startBossFight();
    bossHealth = 0;
    runFrame();
    // Still alive when its step began, the boss fires its pair before dying.
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{bossshootSound, oneUpSound}));
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000}));
    std::vector<std::string> list = presented();
    EXPECT_EQ(list[2], "text arial26 945,45 ff72745f 'x 6'");
    EXPECT_EQ(list[3], "text arial26 875,115 ff72745f 'Score: 500'");
    EXPECT_EQ(countStarting(list, "boss"), 0);
    // Where the level-up left it: the fight's last step did not move it.
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.back(), "asteroid 451,383 60x60 f0/8 r0 s1");
    EXPECT_EQ(list[list.size() - 2], "1up 452,324 120x120 f0/1 r0 s0.7");
}

TEST_F(PlayFrameTest, FailedSceneDropsTheDrawingButNotThePlayStepAndKeepsTheBanners)
{
    simulateDeviceLoss(0);
    extraLifePoints = 250;
    runFrame();
    EXPECT_EQ(callLog.presents, 0);
    EXPECT_TRUE(callLog.sleeps.empty());
    EXPECT_TRUE(callLog.sounds.empty());
    EXPECT_TRUE(oneUpEvent);
    EXPECT_EQ(lives, 6);
    EXPECT_FLOAT_EQ(asteroids[0].x, 448.0f);
    EXPECT_EQ(mapY, 3071);

    ASSERT_TRUE(videoResetDevice(true));
    advanceClockForPass();
    runFrame();
    EXPECT_EQ(callLog.presents, 1);
    EXPECT_EQ(callLog.sounds, (std::vector<const void*>{oneUpSound}));
    EXPECT_EQ(callLog.sleeps, (std::vector<uint32_t>{1000}));
    EXPECT_FALSE(oneUpEvent);
    EXPECT_EQ(lives, 6);
}
