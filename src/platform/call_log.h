// The call log: what the game asked of the machine during one frame-driver
// call (draws with their arguments, texts, sounds started, sleeps, presents,
// blocking screens). Replays write it into their trace; tests read it. It
// keeps nothing unless the platform was started with `logCalls` set. (Not
// to be confused with a recording, the tape of a whole session.)
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class DrawOp { Sprite, Text, Map, Raw };

struct LoggedDraw {
    DrawOp op = DrawOp::Sprite;
    const void* handle = nullptr;   // texture or font
    int x = 0, y = 0, width = 0, height = 0, frame = 0, framesPerRow = 0;
    float rotation = 0.0f, scale = 0.0f;
    uint32_t colour = 0;
    std::string text;
};

struct CallLog {
    std::vector<const void*> sounds;       // sounds started, in order
    std::vector<float> soundVolumes;       // volume set last on each started sound's channel
    std::vector<uint32_t> sleeps;
    std::vector<const char*> screens;      // blocking screens run
    int presents = 0;
    std::vector<LoggedDraw> drawing;       // draws since the last present
    std::vector<LoggedDraw> presented;     // the draws of the last presented frame
};

extern CallLog callLog;

void beginCallLog();                  // forget the previous call
void logSleep(uint32_t ms);
void logSoundStart(const void* sound);
void logSoundVolume(float volume);      // applies to the most recent start
void logScreen(const char* name);
void logPresent();
void logSpriteDraw(const void* texture, int x, int y, int width, int height, int frame,
                      int framesPerRow, float rotation, float scale);
void logTextDraw(const void* font, int x, int y, uint32_t colour, std::string_view text);
void logMapDraw(int h, int v);
void logRawDraw(const void* texture, int x, int y);
