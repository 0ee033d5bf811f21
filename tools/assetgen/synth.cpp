#include "synth.h"

#include <algorithm>

namespace assetgen {

namespace {

double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double Oscillator::sine(double hz)
{
    const double v = std::sin(2.0 * kPi * phase_);
    advance(hz / kSampleRate);
    return v;
}

double Oscillator::saw(double hz)
{
    const double dt = hz / kSampleRate;
    const double v = 2.0 * phase_ - 1.0 - polyBlep(phase_, dt);
    advance(dt);
    return v;
}

double Oscillator::pulse(double hz, double width)
{
    const double dt = hz / kSampleRate;
    double t2 = phase_ + width;
    t2 -= std::floor(t2);
    const double a = 2.0 * phase_ - 1.0 - polyBlep(phase_, dt);
    const double b = 2.0 * t2 - 1.0 - polyBlep(t2, dt);
    advance(dt);
    return (a - b) * 0.5;
}

double Oscillator::triangle(double hz)
{
    // Leaky-integrated band-limited square.
    const double dt = hz / kSampleRate;
    double t2 = phase_ + 0.5;
    t2 -= std::floor(t2);
    const double sq = (phase_ < 0.5 ? 1.0 : -1.0) + polyBlep(phase_, dt) - polyBlep(t2, dt);
    triState_ = dt * 4.0 * sq + (1.0 - dt * 0.5) * triState_;
    advance(dt);
    return triState_;
}

void Svf::set(double hz, double q)
{
    hz = std::clamp(hz, 10.0, kSampleRate * 0.45);
    if (std::fabs(hz - lastHz_) < 0.5 && q == lastQ_)
        return;
    lastHz_ = hz;
    lastQ_ = q;
    const double g = std::tan(kPi * hz / kSampleRate);
    k_ = 1.0 / q;
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

void Svf::tick(double x)
{
    const double v3 = x - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    low_ = v2;
    band_ = v1;
    high_ = x - k_ * v1 - v2;
}

double Adsr::at(double t, double gate) const
{
    auto level = [this](double u) {
        if (u < 0)
            return 0.0;
        if (u < attack) {
            const double a = u / attack;
            return a * a * (3.0 - 2.0 * a);
        }
        return sustain + (1.0 - sustain) * std::exp(-(u - attack) / decay);
    };
    if (t < gate)
        return level(t);
    const double r = t - gate;
    const double fall = std::exp(-r / release);
    // Reaches exactly zero at 5 release constants.
    const double end = std::exp(-5.0);
    return level(gate) * std::max(0.0, (fall - end) / (1.0 - end));
}

long frameAt(double seconds) { return std::lround(seconds * kSampleRate); }

Track::Track(double seconds, bool loop) : Track(static_cast<size_t>(frameAt(seconds)), loop) {}

Track::Track(size_t frames, bool loopIt) : left(frames, 0.0), right(frames, 0.0), loop(loopIt) {}

void Track::add(long frame, double l, double r)
{
    const long n = static_cast<long>(left.size());
    if (loop) {
        frame %= n;
        if (frame < 0)
            frame += n;
    } else if (frame < 0 || frame >= n) {
        return;
    }
    left[frame] += l;
    right[frame] += r;
}

Track::Pan::Pan(double pan)
{
    const double angle = (pan + 1.0) * kPi * 0.25;
    l = std::cos(angle) * 1.41421356;
    r = std::sin(angle) * 1.41421356;
}

namespace {

// Runs a stateful process over the buffer; in a loop the state at the start
// is the state the end leaves behind.
template <typename F>
void runThrough(Track& t, F&& step)
{
    // Each step reads only its own frame, so the output can replace the input.
    // In a loop, the state is first warmed up on the last seconds of the
    // track: by then every tail has decayed far below one bit.
    const size_t n = t.frames();
    double ignoreL = 0, ignoreR = 0;
    if (t.loop)
        for (size_t i = n - std::min(n, static_cast<size_t>(frameAt(6.0))); i < n; ++i)
            step(t.left[i], t.right[i], ignoreL, ignoreR);
    for (size_t i = 0; i < n; ++i) {
        double l = 0, r = 0;
        step(t.left[i], t.right[i], l, r);
        t.left[i] = l;
        t.right[i] = r;
    }
}

class Delay {
public:
    explicit Delay(size_t length) : buf_(std::max<size_t>(1, length), 0.0) {}
    double read() const { return buf_[pos_]; }
    void write(double v)
    {
        buf_[pos_] = v;
        if (++pos_ == buf_.size())
            pos_ = 0;
    }

private:
    std::vector<double> buf_;
    size_t pos_ = 0;
};

class Comb {
public:
    Comb(size_t length, double feedback, double damping) : d_(length), fb_(feedback), damp_(damping) {}
    double process(double x)
    {
        const double y = d_.read();
        store_ = y * (1.0 - damp_) + store_ * damp_;
        d_.write(x + store_ * fb_);
        return y;
    }

private:
    Delay d_;
    double fb_, damp_, store_ = 0.0;
};

class Allpass {
public:
    explicit Allpass(size_t length) : d_(length) {}
    double process(double x)
    {
        const double b = d_.read();
        d_.write(x + b * 0.5);
        return b - x;
    }

private:
    Delay d_;
};

} // namespace

void Track::echo(double seconds, double feedback, double mix, double tone)
{
    Delay dl(static_cast<size_t>(frameAt(seconds))), dr(static_cast<size_t>(frameAt(seconds * 1.5)));
    OnePole fl, fr;
    fl.setLowpass(tone);
    fr.setLowpass(tone);
    runThrough(*this, [&](double l, double r, double& ol, double& orr) {
        const double el = dl.read(), er = dr.read();
        // Ping-pong: each side feeds the other.
        dl.write(fl.lowpass(l + er * feedback));
        dr.write(fr.lowpass(r + el * feedback));
        ol = l + el * mix;
        orr = r + er * mix;
    });
}

void Track::reverb(double roomSize, double damping, double mix)
{
    // Freeverb's tunings (at 44.1 kHz); the right side is spread a little.
    static const size_t combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const size_t allpasses[4] = {556, 441, 341, 225};
    const size_t spread = 23;
    const double fb = 0.7 + 0.28 * roomSize;
    std::vector<Comb> cl, cr;
    std::vector<Allpass> al, ar;
    for (size_t c : combs) {
        cl.emplace_back(c, fb, damping);
        cr.emplace_back(c + spread, fb, damping);
    }
    for (size_t a : allpasses) {
        al.emplace_back(a);
        ar.emplace_back(a + spread);
    }
    runThrough(*this, [&](double l, double r, double& ol, double& orr) {
        const double in = (l + r) * 0.015;
        double wl = 0, wr = 0;
        for (auto& c : cl) wl += c.process(in);
        for (auto& c : cr) wr += c.process(in);
        for (auto& a : al) wl = a.process(wl);
        for (auto& a : ar) wr = a.process(wr);
        ol = l + wl * mix;
        orr = r + wr * mix;
    });
}

void Track::lowpass(double hz)
{
    Svf fl, fr;
    fl.set(hz, 0.707);
    fr.set(hz, 0.707);
    runThrough(*this, [&](double l, double r, double& ol, double& orr) {
        ol = fl.lowpass(l);
        orr = fr.lowpass(r);
    });
}

Sound Track::finish(bool stereo, double fadeIn, double fadeOut)
{
    const size_t n = frames();
    std::vector<double>* chans[2] = {&left, &right};
    if (!stereo) {
        for (size_t i = 0; i < n; ++i)
            left[i] = (left[i] + right[i]) * 0.5;
    }
    const int count = stereo ? 2 : 1;
    for (int c = 0; c < count; ++c) {
        std::vector<double>& x = *chans[c];
        if (!loop) {
            // Short raised-cosine fades so the first and last samples are zero.
            const size_t in = static_cast<size_t>(frameAt(fadeIn)), out = static_cast<size_t>(frameAt(fadeOut));
            for (size_t i = 0; i < in && i < n; ++i)
                x[i] *= 0.5 - 0.5 * std::cos(kPi * i / in);
            for (size_t i = 0; i < out && i < n; ++i)
                x[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / out);
        }
        double mean = 0;
        for (double v : x)
            mean += v;
        mean /= static_cast<double>(n);
        if (loop) {
            // A constant shift keeps the loop joint intact.
            for (double& v : x)
                v -= mean;
        } else {
            // Take the offset out under a window that is zero at both ends.
            double windowSum = 0;
            for (size_t i = 0; i < n; ++i)
                windowSum += 1.0 - std::cos(2.0 * kPi * i / (n - 1));
            const double k = mean * static_cast<double>(n) / windowSum;
            for (size_t i = 0; i < n; ++i)
                x[i] -= k * (1.0 - std::cos(2.0 * kPi * i / (n - 1)));
        }
    }
    double peak = 1e-12;
    for (int c = 0; c < count; ++c)
        for (double v : *chans[c])
            peak = std::max(peak, std::fabs(v));
    const double gain = kPeak / peak;
    Sound s;
    s.channels = count;
    s.samples.resize(n * count);
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < count; ++c)
            s.samples[i * count + c] = static_cast<float>((*chans[c])[i] * gain);
    return s;
}

std::vector<uint8_t> encodeWav(const Sound& sound)
{
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    std::vector<uint8_t> b;
    b.reserve(44 + dataBytes);
    auto put16 = [&b](uint32_t v) { b.push_back(v & 255); b.push_back((v >> 8) & 255); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    auto tag = [&b](const char* t) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i])); };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(static_cast<uint32_t>(sound.channels));
    put32(kSampleRate);
    put32(kSampleRate * 2 * sound.channels);
    put16(2 * sound.channels);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (float v : sound.samples) {
        const long q = std::lround(std::clamp(static_cast<double>(v), -1.0, 1.0) * 32767.0);
        put16(static_cast<uint32_t>(static_cast<int16_t>(q)) & 0xFFFF);
    }
    return b;
}

} // namespace assetgen
