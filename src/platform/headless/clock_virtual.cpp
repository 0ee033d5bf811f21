// The virtual clock: microseconds from 0, moved only by the message loop's
// passes and by sleeps, so every run of a script sees the same times.
#include "platform/clock_service.h"

namespace {

int64_t microseconds = 0;
constexpr int64_t kFrequency = 1000000;
constexpr int64_t kPassMicroseconds = 20000;

} // namespace

const ClockService kVirtualClock = {
    .start = [] { microseconds = 0; },
    .performanceCounter = [] { return microseconds; },
    .peekCounter = [] { return microseconds; },
    .performanceFrequency = [] { return kFrequency; },
    .tickCount = [] { return static_cast<uint32_t>(microseconds / 1000); },
    .sleep = [](uint32_t ms) { microseconds += static_cast<int64_t>(ms) * 1000; },
    .yield = [] {},
    .newPass = [] { microseconds += kPassMicroseconds; },
};
