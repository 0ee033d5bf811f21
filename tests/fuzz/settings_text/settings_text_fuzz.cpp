// Fuzz target for reading the settings and state files: any bytes read
// without fault, every setting stays within its bounds, what is said about
// wrong lines is printable and bounded (it goes to the player's terminal),
// and a state file the game would accept reads back as the game writes it.

#include "app/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool holds) {
    if (!holds) __builtin_trap();
}

bool printable(const std::string& text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Settings settings;
    std::vector<std::string> problems;
    readSettingsText(input, settings, problems);
    check(settings.volume >= 0 && settings.volume <= 100);
    check(settings.musicVolume >= 0 && settings.musicVolume <= 100);
    check(settings.effectsVolume >= 0 && settings.effectsVolume <= 100);
    check(settings.maxFps >= 0 && settings.maxFps <= kMaxFpsLimit);
    check(musicGain(settings) >= 0.0f && musicGain(settings) <= 1.0f);
    check(effectsGain(settings) >= 0.0f && effectsGain(settings) <= 1.0f);
    check(problems.size() <= kProblemsNamed + 1);
    for (const std::string& problem : problems) check(printable(problem) && problem.size() < 200);

    std::string problem;
    const std::optional<bool> mode = readScreenModeState(input, problem);
    check(mode.has_value() == problem.empty());
    check(printable(problem));
    if (mode) {
        std::string again;
        check(readScreenModeState(screenModeStateText(*mode), again) == mode);
    }
    return 0;
}
