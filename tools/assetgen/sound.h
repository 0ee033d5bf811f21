// The sounds: synthesised as float samples, written as 16-bit PCM WAV.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kSampleRate = 44100;

struct Sound {
    int channels = 1;
    std::vector<float> samples;  // interleaved when stereo
    size_t frames() const { return samples.size() / channels; }
};

Sound makeShoot();
Sound makeScore();
Sound makeHit();
Sound makeGameOverTune();
Sound makeCountdown();
Sound makeOneUp();
Sound makeLevelUp();
Sound makeBossShoot();
Sound makeMenuTune();

// Peak of the written file, as a fraction of full scale.
inline constexpr double kPeak = 0.85;  // about -1.4 dBFS

std::vector<uint8_t> encodeWav(const Sound& sound);

} // namespace assetgen
