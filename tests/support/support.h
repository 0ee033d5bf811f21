// Helpers shared by the tests: temporary game folders holding data/, the
// headless platform, running programs, and reading traces.
#pragma once
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

// Every file of data/ but scores.txt, relative to data/.
constexpr int kGameDataFileCount = 23;
extern const char* const kGameDataFiles[kGameDataFileCount];

// A fresh temporary folder with data/ (every generated file, copied) and a
// ten-line data/scores.txt. Removed by removeTree.
std::string makeGameDir();
void removeTree(const std::string& path);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
std::string dataFile(const char* name);   // a generated file's path

// Enters a folder for the life of the object.
struct ScopedCwd {
    explicit ScopedCwd(const std::string& path);
    ~ScopedCwd();
    std::string previous;
};

// The platform for a test: virtual clock, script input, call log on; real
// pixels with SDL's offscreen driver when `render` is set.
struct ScopedPlatform {
    explicit ScopedPlatform(bool render = false, AudioBackend audio = AudioBackend::Headless);
    ~ScopedPlatform();
};

// Starts the game's subsystems as start-up does, in the current folder.
bool startGameForTest();
void stopGameForTest();

struct ProcessResult {
    int exitCode = -1;
    std::string output;   // stdout and stderr together
};

// Runs a command through /bin/sh, capturing its output.
ProcessResult runCommand(const std::string& command);

std::string binaryPath(const char* name);   // a program built in the build folder

// The value of "key": in a JSON trace line, as the text that stands there.
std::string traceField(const std::string& line, const std::string& key);
std::vector<std::string> splitLines(const std::string& text);

// A 24-bit BMP of width x height from ARGB texels (alpha ignored).
void writeBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);
