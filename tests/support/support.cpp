// Test helpers.
#include "support/support.h"

#include "app/startup.h"
#include "app/window_proc.h"
#include "platform/clock.h"
#include "platform/call_log.h"
#include "platform/script.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

const char* const kGameDataFiles[kGameDataFileCount] = {
    "spaceship.png", "bullets.png", "asteroid.tga", "bosstest.png", "gamelogo.bmp", "gameover.bmp",
    "skill1.bmp", "skill2.bmp", "1up.bmp", "levelup.bmp", "bosshealth.bmp", "ammogui.bmp", "ammogui2.bmp",
    "spacemap.bmp", "sound/_shoot.wav", "sound/_score.wav", "sound/_hit.wav", "sound/_gameover.wav",
    "sound/_countdown.wav", "sound/_1up.wav", "sound/_levelup.wav", "sound/_bossshoot.wav",
    "sound/_menubgnd.wav",
};

std::string dataFile(const char* name) { return std::string(KESTRELON_TEST_DATA) + "/" + name; }

std::string makeGameDir()
{
    std::string pattern = (fs::temp_directory_path() / "kestrelon-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        ADD_FAILURE() << "mkdtemp failed";
    std::string dir = buffer.data();
    fs::create_directories(dir + "/data/sound");
    for (const char* name : kGameDataFiles)
        fs::copy_file(dataFile(name), dir + "/data/" + name);
    // The same ten places for every test and every scenario.
    fs::copy_file(std::string(KESTRELON_SOURCE_DIR) + "/tests/support/scores.txt", dir + "/data/scores.txt");
    return dir;
}

void removeTree(const std::string& path)
{
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

ScopedCwd::ScopedCwd(const std::string& path)
{
    previous = fs::current_path().string();
    fs::current_path(path);
}

ScopedCwd::~ScopedCwd() { fs::current_path(previous); }

ScopedPlatform::ScopedPlatform(bool render, AudioBackend audio)
{
    PlatformConfig config;
    config.clock = ClockBackend::Virtual;
    config.input = InputBackend::Script;
    config.video = render ? VideoBackend::Offscreen : VideoBackend::None;
    config.audio = audio;
    config.logCalls = true;
    clearPostedMessages();
    loadInputScript({});
    beginCallLog();
    EXPECT_TRUE(platformStart(config));
}

ScopedPlatform::~ScopedPlatform() { platformStop(); }

bool startGameForTest()
{
    if (!windowCreate("Kestrelon v0.3", 1024, 768))
        return false;
    if (!initGame())
        return false;
    appActive = true;
    return true;
}

void stopGameForTest()
{
    shutdownGame();
    windowDestroy();
}

ProcessResult runCommand(const std::string& command)
{
    ProcessResult result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, read);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string binaryPath(const char* name)
{
    for (const char* folder : {"", "/tools/replay", "/tools/assetgen", "/src"}) {
        std::string path = std::string(KESTRELON_BINARY_DIR) + folder + "/" + name;
        if (fs::exists(path))
            return path;
    }
    return std::string(KESTRELON_BINARY_DIR) + "/" + name;
}

std::string traceField(const std::string& line, const std::string& key)
{
    std::string needle = "\"" + key + "\":";
    size_t at = line.find(needle);
    if (at == std::string::npos)
        return {};
    at += needle.size();
    size_t end = at;
    int depth = 0;
    bool inString = false;
    for (; end < line.size(); ++end) {
        char c = line[end];
        if (inString) {
            if (c == '\\')
                ++end;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        else if (c == '[' || c == '{')
            ++depth;
        else if (c == ']' || c == '}') {
            if (depth == 0)
                break;
            --depth;
        } else if (c == ',' && depth == 0)
            break;
    }
    return line.substr(at, end - at);
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

void writeBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& argb)
{
    int rowBytes = (width * 3 + 3) & ~3;
    uint32_t imageBytes = static_cast<uint32_t>(rowBytes) * height;
    std::string out(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<char>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, imageBytes);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            uint32_t texel = argb[static_cast<size_t>(y) * width + x];
            row[x * 3] = static_cast<char>(texel);
            row[x * 3 + 1] = static_cast<char>(texel >> 8);
            row[x * 3 + 2] = static_cast<char>(texel >> 16);
        }
        out += row;
    }
    writeFile(path, out);
}
