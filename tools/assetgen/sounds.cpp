// The nine sounds. Effects are one-shot mono; the two tunes are stereo loops
// of a whole number of bars whose tails wrap around to the start.
#include "synth.h"

#include <algorithm>

namespace assetgen {

namespace {

constexpr double kSr = kSampleRate;
const Track::Pan kCentre(0.0);

void mixInto(Track& dst, const Track& src, double gain)
{
    for (size_t i = 0; i < dst.frames() && i < src.frames(); ++i) {
        dst.left[i] += src.left[i] * gain;
        dst.right[i] += src.right[i] * gain;
    }
}

// --- Instruments -----------------------------------------------------------

// Two detuned saws and a narrow pulse through a resonant low-pass that opens
// on the attack; a delayed vibrato.
void lead(Track& t, double start, double gate, double note, double vel, double pan, double bright = 1.0)
{
    const Track::Pan place(pan);
    const Adsr env{0.012, 0.3, 0.65, 0.09};
    const long f0 = frameAt(start), n = frameAt(env.length(gate));
    const double hz = midiHz(note);
    Oscillator a(0.13), b(0.61), c(0.37);
    Svf f;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double vib = 1.0 + 0.0045 * std::sin(2 * kPi * 5.4 * time) * smoothstep(0.12, 0.35, time);
        const double s = 0.42 * a.saw(hz * vib * 1.004) + 0.42 * b.saw(hz * vib * 0.996) +
                         0.25 * c.pulse(hz * vib * 2.0, 0.3);
        if ((i & 7) == 0)
            f.set(hz * 1.5 + bright * (900 + 3200 * std::exp(-time / 0.12)), 1.1);
        t.addMono(f0 + i, f.lowpass(s) * env.at(time, gate) * vel, place);
    }
}

// Short plucked pulse for arpeggios.
void pluck(Track& t, double start, double note, double vel, double pan)
{
    const Track::Pan place(pan);
    const double hz = midiHz(note);
    const long f0 = frameAt(start), n = frameAt(0.32);
    Oscillator a(0.2), b(0.45);
    Svf f;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double env = smoothstep(0.0, 0.003, time) * std::exp(-time / 0.07) * (1.0 - smoothstep(0.26, 0.32, time));
        const double s = 0.6 * a.pulse(hz, 0.28) + 0.35 * b.saw(hz * 1.007);
        if ((i & 7) == 0)
            f.set(500 + 4200 * std::exp(-time / 0.05), 1.4);
        t.addMono(f0 + i, f.lowpass(s) * env * vel, place);
    }
}

// Saw plus a sine an octave below, with a plucky filter.
void bass(Track& t, double start, double gate, double note, double vel)
{
    const Adsr env{0.004, 0.12, 0.55, 0.05};
    const double hz = midiHz(note);
    const long f0 = frameAt(start), n = frameAt(env.length(gate));
    Oscillator a(0.0), sub(0.25);
    Svf f;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double s = 0.55 * a.saw(hz) + 0.7 * sub.sine(hz * 0.5);
        if ((i & 7) == 0)
            f.set(180 + 1400 * std::exp(-time / 0.06), 1.2);
        t.addMono(f0 + i, f.lowpass(s) * env.at(time, gate) * vel, kCentre);
    }
}

// A soft, slowly swelling chord of detuned saws; each side gets its own
// detune so the pad is wide.
void pad(Track& t, double start, double gate, std::initializer_list<int> notes, double vel, double cutoff = 1400)
{
    const Adsr env{0.45, 1.0, 0.85, 0.4};
    const long f0 = frameAt(start), n = frameAt(env.length(gate));
    int k = 0;
    for (int note : notes) {
        const double hz = midiHz(note);
        Oscillator l1(0.1 * k), l2(0.3 + 0.1 * k), r1(0.55 + 0.1 * k), r2(0.8 + 0.05 * k);
        Svf fl, fr;
        fl.set(cutoff, 0.8);
        fr.set(cutoff, 0.8);
        for (long i = 0; i < n; ++i) {
            const double time = i / kSr;
            const double e = env.at(time, gate) * vel;
            const double l = fl.lowpass(l1.saw(hz * 1.006) + l2.saw(hz * 0.998));
            const double r = fr.lowpass(r1.saw(hz * 0.994) + r2.saw(hz * 1.002));
            t.add(f0 + i, l * e * 0.5, r * e * 0.5);
        }
        ++k;
    }
}

// Two-operator FM with a decaying index: an electric-piano / bell tone.
void bell(Track& t, double start, double note, double vel, double pan, double decay = 0.6, double ratio = 1.0)
{
    const Track::Pan place(pan);
    const double hz = midiHz(note);
    const long f0 = frameAt(start), n = frameAt(decay * 4.0);
    double pc = 0, pm = 0;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double env = smoothstep(0.0, 0.004, time) * std::exp(-time / decay) * (1.0 - smoothstep(decay * 3.2, decay * 4.0, time));
        const double index = 1.6 * std::exp(-time / (decay * 0.35)) + 0.25;
        const double m = std::sin(2 * kPi * pm);
        const double s = std::sin(2 * kPi * pc + index * m);
        pc += hz / kSr;
        pm += hz * ratio * 2.0 / kSr;
        pc -= std::floor(pc);
        pm -= std::floor(pm);
        t.addMono(f0 + i, s * env * vel, place);
    }
}

// Soft sine-and-triangle voice with a slow vibrato, for the sad tune.
void flute(Track& t, double start, double gate, double note, double vel, double pan)
{
    const Track::Pan place(pan);
    const Adsr env{0.08, 0.5, 0.75, 0.35};
    const double hz = midiHz(note);
    const long f0 = frameAt(start), n = frameAt(env.length(gate));
    Oscillator a(0.0), b(0.5);
    Random rng(static_cast<uint64_t>(note * 977 + start * 131));
    OnePole breath;
    breath.setLowpass(2500);
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double vib = 1.0 + 0.006 * std::sin(2 * kPi * 4.6 * time) * smoothstep(0.25, 0.7, time);
        const double s = 0.75 * a.sine(hz * vib) + 0.3 * b.triangle(hz * vib) + 0.05 * breath.lowpass(rng.signedUnit());
        t.addMono(f0 + i, s * env.at(time, gate) * vel, place);
    }
}

void kick(Track& t, double start, double vel)
{
    const long f0 = frameAt(start), n = frameAt(0.34);
    double phase = 0;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double hz = 46 + 110 * std::exp(-time / 0.03);
        phase += hz / kSr;
        const double env = smoothstep(0.0, 0.002, time) * std::exp(-time / 0.11) * (1.0 - smoothstep(0.28, 0.34, time));
        const double click = std::exp(-time / 0.003) * 0.3;
        t.addMono(f0 + i, std::tanh(1.6 * std::sin(2 * kPi * phase)) * env * vel + click * vel * smoothstep(0.0, 0.001, time), kCentre);
    }
}

void snare(Track& t, double start, double vel, uint64_t seed)
{
    const Track::Pan place(0.1);
    const long f0 = frameAt(start), n = frameAt(0.25);
    Random rng(seed);
    Svf bp;
    bp.set(2600, 0.7);
    double phase = 0;
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double env = smoothstep(0.0, 0.0015, time) * (1.0 - smoothstep(0.2, 0.25, time));
        const double noise = bp.bandpass(rng.signedUnit()) * std::exp(-time / 0.06);
        phase += (185 + 40 * std::exp(-time / 0.01)) / kSr;
        const double body = std::sin(2 * kPi * phase) * std::exp(-time / 0.04);
        t.addMono(f0 + i, (noise * 1.1 + body * 0.5) * env * vel, place);
    }
}

void hat(Track& t, double start, double vel, double length, uint64_t seed)
{
    const Track::Pan place(0.25);
    const long f0 = frameAt(start), n = frameAt(length);
    Random rng(seed);
    Svf hp;
    hp.set(7500, 0.8);
    for (long i = 0; i < n; ++i) {
        const double time = i / kSr;
        const double env = smoothstep(0.0, 0.001, time) * std::exp(-time / (length * 0.25)) * (1.0 - smoothstep(length * 0.8, length, time));
        t.addMono(f0 + i, hp.highpass(rng.signedUnit()) * env * vel, place);
    }
}

} // namespace

// --- Effects -----------------------------------------------------------------

Sound makeShoot()
{
    Track t(0.15, false);
    Oscillator a(0.0), b(0.3);
    Svf f;
    Random rng(0x5407);
    for (size_t i = 0; i < t.frames(); ++i) {
        const double time = i / kSr;
        const double hz = 240 + 1700 * std::exp(-time / 0.028);
        const double env = std::exp(-time / 0.05);
        const double s = 0.6 * a.saw(hz) + 0.45 * b.pulse(hz * 1.503, 0.22);
        if ((i & 3) == 0)
            f.set(1200 + 8000 * std::exp(-time / 0.035), 1.6);
        const double zap = f.lowpass(s) * env;
        const double spit = rng.signedUnit() * std::exp(-time / 0.005) * 0.35;
        t.addMono(static_cast<long>(i), zap + spit, kCentre);
    }
    return t.finish(false, 0.001, 0.012);
}

Sound makeBossShoot()
{
    Track t(0.4, false);
    Oscillator a(0.0), sub(0.0), c(0.5);
    Svf f, nf;
    Random rng(0xB055);
    nf.set(900, 0.9);
    for (size_t i = 0; i < t.frames(); ++i) {
        const double time = i / kSr;
        const double hz = 62 + 480 * std::exp(-time / 0.06);
        const double wobble = 1.0 - 0.35 * (0.5 + 0.5 * std::sin(2 * kPi * 32 * time));
        const double env = std::exp(-time / 0.12);
        const double s = 0.6 * a.saw(hz) + 0.5 * c.pulse(hz * 0.503, 0.4) + 0.6 * sub.sine(hz * 0.5);
        if ((i & 3) == 0)
            f.set(250 + 3200 * std::exp(-time / 0.07), 2.0);
        const double noise = nf.lowpass(rng.signedUnit()) * std::exp(-time / 0.04) * 0.8;
        t.addMono(static_cast<long>(i), std::tanh(1.8 * (f.lowpass(s) * wobble + noise)) * env, kCentre);
    }
    return t.finish(false, 0.0015, 0.03);
}

Sound makeScore()
{
    Track t(0.42, false);
    Random rng(0x5C0E);
    Svf body, air, sparkle;
    air.set(5000, 0.7);
    sparkle.set(6500, 2.5);
    double thump = 0;
    double crackle = 0;
    for (size_t i = 0; i < t.frames(); ++i) {
        const double time = i / kSr;
        const double w = rng.signedUnit();
        if ((i & 3) == 0)
            body.set(400 + 11000 * std::exp(-time / 0.07), 0.9);
        const double roar = body.lowpass(w) * std::exp(-time / 0.11);
        const double fizz = air.highpass(w) * std::exp(-time / 0.045) * 0.6;
        // Sparse glittering crackles that thin out and fade with the blast.
        if (rng.uniform() < 0.006 * std::exp(-time / 0.12))
            crackle += rng.signedUnit() * 1.5;
        crackle *= 0.96;
        const double glitter = sparkle.bandpass(crackle) * std::exp(-time / 0.1);
        thump += (50 + 120 * std::exp(-time / 0.025)) / kSr;
        const double low = std::sin(2 * kPi * thump) * std::exp(-time / 0.07) * 0.9;
        t.addMono(static_cast<long>(i), roar * 1.3 + fizz + glitter + low, kCentre);
    }
    return t.finish(false, 0.001, 0.05);
}

Sound makeHit()
{
    Track t(0.5, false);
    Random rng(0x417);
    Svf crunch, tone, rumble1, rumble2;
    rumble1.set(140, 0.7);
    rumble2.set(140, 0.7);
    double phase = 0;
    for (size_t i = 0; i < t.frames(); ++i) {
        const double time = i / kSr;
        // A driven low boom that drops in pitch.
        phase += (36 + 110 * std::exp(-time / 0.045)) / kSr;
        const double boom = std::tanh(2.2 * std::sin(2 * kPi * phase)) * std::exp(-time / 0.16);
        if ((i & 3) == 0) {
            crunch.set(150 + 3200 * std::exp(-time / 0.04), 1.3);
            tone.set(500 + 9000 * std::exp(-time / 0.03), 0.7);
        }
        const double w = rng.signedUnit();
        const double grit = crunch.lowpass(w) * std::exp(-time / 0.07) * 1.1;
        const double rum = rumble2.lowpass(rumble1.lowpass(w)) * 9.0 * std::exp(-time / 0.2);
        // A dull metallic ring from the hull.
        const double ring = (std::sin(2 * kPi * 173 * time) + 0.6 * std::sin(2 * kPi * 291 * time) +
                             0.4 * std::sin(2 * kPi * 437 * time)) * std::exp(-time / 0.12) * 0.18;
        // The crack of the first moments closes down to a dull thud.
        const double body = tone.lowpass(std::tanh(1.3 * (grit + ring)));
        // Driven a little as a whole, so the hit is dense and loud.
        t.addMono(static_cast<long>(i), std::tanh(1.8 * (boom * 0.9 + body + rum)), kCentre);
    }
    return t.finish(false, 0.001, 0.08);
}

Sound makeCountdown()
{
    // Beeps at 0, 1 and 2 seconds, with the 3-2-1 of the get-ready screen.
    Track t(2.45, false);
    for (int k = 0; k < 3; ++k) {
        const double hz = 880.0;
        const Adsr env{0.003, 0.08, 0.7, 0.03};
        const double gate = 0.14;
        const long f0 = frameAt(k * 1.0), n = frameAt(env.length(gate));
        Oscillator a(0.0), b(0.0), c(0.0);
        for (long i = 0; i < n; ++i) {
            const double time = i / kSr;
            const double s = 0.7 * a.sine(hz) + 0.22 * b.sine(hz * 2.0) + 0.18 * c.triangle(hz * 0.5);
            t.addMono(f0 + i, s * env.at(time, gate), kCentre);
        }
    }
    t.echo(0.11, 0.3, 0.25, 5000);
    return t.finish(false, 0.001, 0.05);
}

Sound makeOneUp()
{
    Track t(1.0, false);
    const int notes[] = {72, 76, 79, 84, 88, 91, 96};
    for (int k = 0; k < 7; ++k) {
        const double start = k * 0.055;
        const double gate = k == 6 ? 0.28 : 0.07;
        const double hz = midiHz(notes[k]);
        const Adsr env{0.003, 0.1, 0.6, 0.05};
        const long f0 = frameAt(start), n = frameAt(env.length(gate));
        Oscillator a(0.0), b(0.25);
        Svf f;
        for (long i = 0; i < n; ++i) {
            const double time = i / kSr;
            const double s = 0.55 * a.pulse(hz, 0.25) + 0.35 * b.sine(hz * 2.0);
            if ((i & 7) == 0)
                f.set(2000 + 6000 * std::exp(-time / 0.05), 1.0);
            t.addMono(f0 + i, f.lowpass(s) * env.at(time, gate) * (0.7 + 0.05 * k), kCentre);
        }
    }
    t.echo(0.09, 0.35, 0.35, 6000);
    return t.finish(false, 0.001, 0.08);
}

Sound makeLevelUp()
{
    Track t(1.6, false);
    // Pick-up triplet, then the held chord.
    struct Note { double start, gate; int note; };
    const Note line[] = {{0.0, 0.08, 67}, {0.1, 0.08, 72}, {0.2, 0.08, 76}, {0.3, 0.16, 79},
                         {0.5, 0.08, 76}, {0.6, 0.55, 84}};
    for (const Note& n : line)
        lead(t, n.start, n.gate, n.note, 0.55, 0.0, 1.3);
    for (int note : {60, 64, 67, 72})
        lead(t, 0.6, 0.55, note, 0.22, note % 2 ? 0.3 : -0.3, 0.8);
    kick(t, 0.6, 0.5);
    t.reverb(0.6, 0.4, 0.5);
    return t.finish(false, 0.001, 0.12);
}

// --- Tunes -------------------------------------------------------------------

Sound makeMenuTune()
{
    // 120 BPM, 12 bars of 4/4 in A minor: 24 seconds.
    constexpr double beat = 0.5, bar = 4 * beat;
    constexpr int bars = 12;
    Track mix(static_cast<size_t>(bars * 4 * 22050), true);
    Track leadT(mix.frames(), true);

    struct Chord { int a, b, c, root; };
    const Chord Am{57, 60, 64, 45}, F{53, 57, 60, 41}, C{55, 60, 64, 48}, G{55, 59, 62, 43}, E{52, 56, 59, 40};
    const Chord chords[bars] = {Am, F, C, G, Am, F, C, G, F, G, Am, E};

    static const int arp[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 5, 4, 3, 2};
    for (int b = 0; b < bars; ++b) {
        const Chord& ch = chords[b];
        const double t0 = b * bar;
        const int tones[6] = {ch.a + 12, ch.b + 12, ch.c + 12, ch.a + 24, ch.b + 24, ch.c + 24};
        for (int s = 0; s < 16; ++s)
            pluck(mix, t0 + s * beat / 4, tones[arp[s]], s % 4 == 0 ? 0.2 : 0.14, -0.35);
        for (int e = 0; e < 8; ++e)
            bass(mix, t0 + e * beat / 2, beat * 0.38, ch.root + (e % 2 ? 12 : 0), e % 2 ? 0.4 : 0.5);
        pad(mix, t0, bar - 0.1, {ch.a, ch.b, ch.c}, 0.13, 1600);

        // Kick on 1 and 3 (and the "and" of 3), snare on 2 and 4, eighth hats.
        kick(mix, t0, 0.85);
        kick(mix, t0 + 2 * beat, 0.85);
        kick(mix, t0 + 2.5 * beat, 0.55);
        snare(mix, t0 + beat, 0.5, 100 + b * 8);
        snare(mix, t0 + 3 * beat, 0.5, 101 + b * 8);
        if (b == bars - 1) {
            for (int s = 1; s < 4; ++s)
                snare(mix, t0 + 3 * beat + s * beat / 4, 0.25 + 0.08 * s, 300 + s);
        }
        for (int e = 0; e < 8; ++e)
            hat(mix, t0 + e * beat / 2, e % 2 ? 0.22 : 0.12, e % 2 ? 0.09 : 0.05, 1000 + b * 16 + e);
    }

    // The melody, in beats from the start of its bar.
    struct Note { int bar; double at, len; int note; };
    static const Note melody[] = {
        {0, 0, 1, 76}, {0, 1, 0.5, 81}, {0, 1.5, 0.5, 79}, {0, 2, 1, 76}, {0, 3, 0.5, 74}, {0, 3.5, 0.5, 72},
        {1, 0, 1.5, 72}, {1, 1.5, 0.5, 74}, {1, 2, 1, 72}, {1, 3, 1, 69},
        {2, 0, 0.5, 67}, {2, 0.5, 0.5, 72}, {2, 1, 1, 76}, {2, 2, 1, 79}, {2, 3, 1, 76},
        {3, 0, 2, 74}, {3, 2, 1, 71}, {3, 3, 1, 67},
        {4, 0, 1, 76}, {4, 1, 0.5, 81}, {4, 1.5, 0.5, 83}, {4, 2, 1, 84}, {4, 3, 0.5, 83}, {4, 3.5, 0.5, 81},
        {5, 0, 1, 81}, {5, 1, 0.5, 79}, {5, 1.5, 0.5, 77}, {5, 2, 1, 76}, {5, 3, 1, 72},
        {6, 0, 0.5, 76}, {6, 0.5, 0.5, 79}, {6, 1, 1, 84}, {6, 2, 0.5, 83}, {6, 2.5, 0.5, 79}, {6, 3, 1, 76},
        {7, 0, 3, 74}, {7, 3, 1, 71},
        {8, 0, 0.5, 72}, {8, 0.5, 0.5, 77}, {8, 1, 1, 81}, {8, 2, 0.5, 79}, {8, 2.5, 0.5, 77}, {8, 3, 1, 76},
        {9, 0, 0.5, 74}, {9, 0.5, 0.5, 79}, {9, 1, 1, 83}, {9, 2, 0.5, 81}, {9, 2.5, 0.5, 79}, {9, 3, 1, 74},
        {10, 0, 1, 76}, {10, 1, 0.5, 72}, {10, 1.5, 0.5, 76}, {10, 2, 2, 81},
        {11, 0, 1, 80}, {11, 1, 1, 83}, {11, 2, 2, 76},
    };
    for (const Note& n : melody)
        lead(leadT, n.bar * bar + n.at * beat, n.len * beat * 0.85, n.note, 0.32, 0.15);
    leadT.echo(0.75 * beat, 0.35, 0.35, 3500);
    mixInto(mix, leadT, 1.0);
    mix.reverb(0.55, 0.45, 0.35);
    return mix.finish(true);
}

Sound makeGameOverTune()
{
    // 84 BPM, 8 bars of 4/4 in D minor: 22.86 seconds, 31 500 frames a beat.
    constexpr double beat = 60.0 / 84.0, bar = 4 * beat;
    constexpr int bars = 8;
    Track mix(static_cast<size_t>(bars * 4 * 31500), true);
    Track leadT(mix.frames(), true);

    struct Chord { int a, b, c, root; };
    const Chord Dm{62, 65, 69, 38}, Bb{58, 62, 65, 46}, Gm{55, 58, 62, 43}, A{57, 61, 64, 45};
    // Bar 7 changes chord halfway (Bb then A).
    const Chord first[bars] = {Dm, Bb, Gm, A, Dm, Gm, Bb, Dm};
    const Chord second[bars] = {Dm, Bb, Gm, A, Dm, Gm, A, Dm};

    static const int arp[8] = {0, 1, 2, 3, 2, 1, 2, 1};
    for (int b = 0; b < bars; ++b) {
        for (int half = 0; half < 2; ++half) {
            const Chord& ch = half ? second[b] : first[b];
            const double t0 = b * bar + half * 2 * beat;
            const int tones[4] = {ch.a, ch.b, ch.c, ch.a + 12};
            for (int e = 0; e < 4; ++e)
                bell(mix, t0 + e * beat / 2, tones[arp[half * 4 + e]], 0.16, -0.3, 0.45);
            pad(mix, t0, 2 * beat - 0.05, {ch.a - 12, ch.b - 12, ch.c - 12}, 0.12, 900);
            bass(mix, t0, 2 * beat * 0.9, ch.root, 0.35);
        }
    }

    struct Note { int bar; double at, len; int note; };
    static const Note melody[] = {
        {0, 0, 1, 69}, {0, 1, 1, 74}, {0, 2, 1.5, 77}, {0, 3.5, 0.5, 76},
        {1, 0, 2, 74}, {1, 2, 1, 72}, {1, 3, 1, 70},
        {2, 0, 1, 67}, {2, 1, 1, 70}, {2, 2, 1.5, 74}, {2, 3.5, 0.5, 72},
        {3, 0, 3, 73}, {3, 3, 1, 69},
        {4, 0, 1, 77}, {4, 1, 1, 76}, {4, 2, 1, 74}, {4, 3, 1, 81},
        {5, 0, 1.5, 79}, {5, 1.5, 0.5, 77}, {5, 2, 1, 76}, {5, 3, 1, 74},
        {6, 0, 1, 74}, {6, 1, 1, 72}, {6, 2, 1, 73}, {6, 3, 1, 76},
        {7, 0, 3.5, 74},
    };
    for (const Note& n : melody)
        flute(leadT, n.bar * bar + n.at * beat, n.len * beat * 0.92, n.note, 0.3, 0.12);
    leadT.echo(beat, 0.3, 0.3, 2500);
    mixInto(mix, leadT, 1.0);
    mix.reverb(0.8, 0.5, 0.6);
    return mix.finish(true);
}

} // namespace assetgen
