// The sounds: valid 16-bit PCM WAV at 44.1 kHz, the intended lengths, enough
// headroom, no offset, no clicks at the ends, and tunes that loop cleanly.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assettest;

namespace {

struct Wav {
    int channels = 0;
    std::vector<std::vector<double>> samples;  // per channel, -1..1
    double seconds() const { return samples.empty() ? 0.0 : samples[0].size() / 44100.0; }
};

// Parses the file and checks every header field against the others.
Wav readWav(const std::string& path)
{
    Wav w;
    const std::vector<uint8_t> b = readBytes(path);
    auto u16 = [&b](size_t o) { return static_cast<uint32_t>(b[o] | (b[o + 1] << 8)); };
    auto u32 = [&b](size_t o) { return static_cast<uint32_t>(b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (b[o + 3] << 24)); };
    auto tag = [&b](size_t o) { return std::string(b.begin() + o, b.begin() + o + 4); };
    EXPECT_GE(b.size(), 44u);
    if (b.size() < 44)
        return w;
    EXPECT_EQ(tag(0), "RIFF");
    EXPECT_EQ(u32(4), b.size() - 8);
    EXPECT_EQ(tag(8), "WAVE");
    EXPECT_EQ(tag(12), "fmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1u);  // PCM
    const uint32_t channels = u16(22);
    EXPECT_TRUE(channels == 1 || channels == 2);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 2 * channels);
    EXPECT_EQ(u16(32), 2 * channels);
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(tag(36), "data");
    const uint32_t bytes = u32(40);
    EXPECT_EQ(bytes, b.size() - 44);
    EXPECT_EQ(bytes % (2 * channels), 0u);
    if (channels < 1 || channels > 2 || bytes > b.size() - 44)
        return w;
    w.channels = static_cast<int>(channels);
    w.samples.resize(channels);
    for (size_t i = 0; i + 2 * channels <= bytes; i += 2 * channels)
        for (uint32_t c = 0; c < channels; ++c)
            w.samples[c].push_back(static_cast<int16_t>(u16(44 + i + 2 * c)) / 32768.0);
    return w;
}

double peakDb(const std::vector<double>& x)
{
    double p = 0;
    for (double v : x)
        p = std::max(p, std::fabs(v));
    return 20 * std::log10(std::max(p, 1e-9));
}

double mean(const std::vector<double>& x)
{
    double s = 0;
    for (double v : x)
        s += v;
    return s / static_cast<double>(x.size());
}

double rms(const std::vector<double>& x, double from, double to)
{
    const size_t a = static_cast<size_t>(from * 44100), b = std::min(x.size(), static_cast<size_t>(to * 44100));
    double s = 0;
    for (size_t i = a; i < b; ++i)
        s += x[i] * x[i];
    return b > a ? std::sqrt(s / static_cast<double>(b - a)) : 0.0;
}

// Zero crossings per second: a rough pitch measure.
double crossingRate(const std::vector<double>& x, double from, double to)
{
    const size_t a = static_cast<size_t>(from * 44100), b = std::min(x.size(), static_cast<size_t>(to * 44100));
    int n = 0;
    for (size_t i = a + 1; i < b; ++i)
        n += (x[i - 1] < 0) != (x[i] < 0);
    return n / (to - from);
}

// A value `q` of the way up the sorted absolute values.
double quantile(std::vector<double> v, double q)
{
    for (double& x : v)
        x = std::fabs(x);
    const auto at = v.begin() + static_cast<long>(q * (v.size() - 1));
    std::nth_element(v.begin(), at, v.end());
    return *at;
}

void expectCommonQualities(const Wav& w)
{
    for (const auto& x : w.samples) {
        EXPECT_LE(peakDb(x), -1.0);
        EXPECT_GT(peakDb(x), -6.0) << "far too quiet";
        EXPECT_LT(std::fabs(mean(x)), 0.002) << "DC offset";
    }
}

struct Effect {
    const char* name;
    double minSeconds, maxSeconds;
};

const Effect kEffects[] = {
    {"_shoot.wav", 0.1, 0.2},    {"_score.wav", 0.3, 0.55},   {"_hit.wav", 0.35, 0.7},
    {"_countdown.wav", 2.2, 3.0}, {"_1up.wav", 0.4, 1.5},     {"_levelup.wav", 0.7, 2.5},
    {"_bossshoot.wav", 0.15, 0.6},
};

} // namespace

TEST(Sounds, EffectsAreValidShortAndStartAndEndAtSilence)
{
    TempDir dir;
    std::vector<std::string> names;
    for (const auto& e : kEffects)
        names.push_back(std::string("sound/") + e.name);
    generateInto(dir.path(), names);
    for (const auto& e : kEffects) {
        SCOPED_TRACE(e.name);
        const Wav w = readWav(dir.file(std::string("sound/") + e.name));
        ASSERT_GT(w.channels, 0);
        EXPECT_GE(w.seconds(), e.minSeconds);
        EXPECT_LE(w.seconds(), e.maxSeconds);
        expectCommonQualities(w);
        for (const auto& x : w.samples) {
            // Starts and stops at rest: no click when the mixer starts or cuts it.
            EXPECT_LT(std::fabs(x.front()), 0.002);
            EXPECT_LT(std::fabs(x.back()), 0.002);
            EXPECT_LT(rms(x, w.seconds() - 0.01, w.seconds()), 0.02);
            // The attack ramps up over a few samples rather than jumping.
            for (size_t i = 1; i < 8; ++i)
                EXPECT_LT(std::fabs(x[i] - x[i - 1]), 0.25) << "sample " << i;
        }
    }
}

TEST(Sounds, EffectsHaveTheirCharacter)
{
    TempDir dir;
    generateInto(dir.path(), {"sound/_countdown.wav", "sound/_shoot.wav", "sound/_bossshoot.wav", "sound/_1up.wav"});

    // Three beeps, one second apart, the first at the start: 3, 2, 1.
    const Wav count = readWav(dir.file("sound/_countdown.wav"));
    ASSERT_GT(count.channels, 0);
    const auto& c = count.samples[0];
    for (int beep = 0; beep < 3; ++beep) {
        EXPECT_GT(rms(c, beep + 0.01, beep + 0.1), 0.1) << "beep " << beep;
        EXPECT_LT(rms(c, beep + 0.5, beep + 0.95), 0.02) << "silence after beep " << beep;
    }

    // The boss's zap sits lower than the player's laser.
    const Wav shoot = readWav(dir.file("sound/_shoot.wav")), boss = readWav(dir.file("sound/_bossshoot.wav"));
    ASSERT_GT(shoot.channels, 0);
    ASSERT_GT(boss.channels, 0);
    EXPECT_LT(crossingRate(boss.samples[0], 0.0, 0.12), crossingRate(shoot.samples[0], 0.0, 0.12) * 0.7);

    // The 1UP arpeggio rises.
    const Wav up = readWav(dir.file("sound/_1up.wav"));
    ASSERT_GT(up.channels, 0);
    EXPECT_LT(crossingRate(up.samples[0], 0.0, 0.05) * 2, crossingRate(up.samples[0], 0.33, 0.45));
}

TEST(Sounds, TunesAreLongAndLoopWithoutAJump)
{
    TempDir dir;
    generateInto(dir.path(), {"sound/_menubgnd.wav", "sound/_gameover.wav"});
    const struct { const char* name; double minSeconds; } tunes[] = {{"_menubgnd.wav", 20.0}, {"_gameover.wav", 12.0}};
    for (const auto& t : tunes) {
        SCOPED_TRACE(t.name);
        const Wav w = readWav(dir.file(std::string("sound/") + t.name));
        ASSERT_GT(w.channels, 0);
        EXPECT_GE(w.seconds(), t.minSeconds);
        EXPECT_LE(w.seconds(), 90.0);
        expectCommonQualities(w);
        for (const auto& x : w.samples) {
            const size_t n = x.size();
            ASSERT_GT(n, 1000u);
            // The step from the last sample to the first is an ordinary step
            // of the tune, in value and in slope.
            std::vector<double> steps(n - 1), bends(n - 2);
            for (size_t i = 1; i < n; ++i)
                steps[i - 1] = x[i] - x[i - 1];
            for (size_t i = 1; i + 1 < n; ++i)
                bends[i - 1] = steps[i] - steps[i - 1];
            const double joinStep = x[0] - x[n - 1];
            const double joinBend = (x[1] - x[0]) - (x[n - 1] - x[n - 2]);
            EXPECT_LE(std::fabs(joinStep), std::max(quantile(steps, 0.99), 1e-4));
            EXPECT_LE(std::fabs(joinBend), std::max(quantile(bends, 0.99), 1e-4));
            // It plays the whole way round: no silent stretch at either end.
            EXPECT_GT(rms(x, 0.0, 0.5), 0.01);
            EXPECT_GT(rms(x, w.seconds() - 0.5, w.seconds()), 0.01);
        }
    }
}
