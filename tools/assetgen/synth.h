// Synthesis building blocks: band-limited oscillators, filters, envelopes,
// a small reverb, and a track that can wrap notes around a loop point.
#pragma once
#include "draw.h"
#include "sound.h"

#include <cmath>
#include <vector>

namespace assetgen {

inline double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Phase accumulator with PolyBLEP-corrected saw and pulse (no aliasing buzz).
class Oscillator {
public:
    explicit Oscillator(double phase = 0.0) : phase_(phase) {}
    double sine(double hz);
    double saw(double hz);
    double pulse(double hz, double width);
    double triangle(double hz);

private:
    double phase_;
    double triState_ = 0.0;
    void advance(double dt) { phase_ += dt; phase_ -= std::floor(phase_); }
};

// Zero-delay state-variable filter; cutoff may change every sample.
class Svf {
public:
    void set(double hz, double q);
    double lowpass(double x) { tick(x); return low_; }
    double bandpass(double x) { tick(x); return band_; }
    double highpass(double x) { tick(x); return high_; }

private:
    double a1_ = 1, a2_ = 0, a3_ = 0, k_ = 1;
    double ic1_ = 0, ic2_ = 0, low_ = 0, band_ = 0, high_ = 0;
    double lastHz_ = -1, lastQ_ = -1;
    void tick(double x);
};

// One-pole smoothing filters.
class OnePole {
public:
    void setLowpass(double hz) { a_ = 1.0 - std::exp(-2.0 * kPi * hz / kSampleRate); }
    double lowpass(double x) { return y_ += a_ * (x - y_); }
    double highpass(double x) { return x - lowpass(x); }

private:
    double a_ = 1, y_ = 0;
};

// Attack, decay to sustain, release after `gate` seconds. Curves are
// exponential-ish so notes start and stop without clicks.
struct Adsr {
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1;
    double at(double t, double gate) const;
    double length(double gate) const { return gate + release * 5.0; }
};

// A stereo render target. When `loop` is set, samples past the end wrap to
// the start, so decaying notes and echoes join the loop seamlessly.
class Track {
public:
    Track(double seconds, bool loop);
    explicit Track(size_t frames, bool loop);
    size_t frames() const { return left.size(); }
    void add(long frame, double l, double r);
    // A mono voice placed in the stereo field (pan -1..1, constant power).
    struct Pan {
        double l, r;
        explicit Pan(double pan = 0.0);
    };
    void addMono(long frame, double v, const Pan& pan) { add(frame, v * pan.l, v * pan.r); }
    // Simple stereo echo and a Schroeder-style reverb, both wrapping in a loop.
    void echo(double seconds, double feedback, double mix, double tone = 4000);
    void reverb(double roomSize, double damping, double mix);
    void lowpass(double hz);
    // Removes DC, normalises the peak and returns a file-ready sound.
    Sound finish(bool stereo, double fadeIn = 0.002, double fadeOut = 0.01);

    std::vector<double> left, right;
    bool loop;
};

long frameAt(double seconds);

} // namespace assetgen
