// The call log's service: keeping what the game asks for (traces, tests) or
// keeping nothing, chosen once.
// Only the backends and the seam include it; the game never does.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct CallLogService {
    void (*sleep)(uint32_t ms);
    void (*soundStart)(const void* sound);
    void (*soundVolume)(float volume);
    void (*screen)(const char* name);
    void (*present)();
    void (*spriteDraw)(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                       float rotation, float scale);
    void (*textDraw)(const void* font, int x, int y, uint32_t colour, std::string_view text);
    void (*mapDraw)(int h, int v);
    void (*rawDraw)(const void* texture, int x, int y);
};

extern const CallLogService kKeepingCallLog;   // headless/call_log_kept.cpp
extern const CallLogService kNoCallLog;        // call_log.cpp
void useCallLog(const CallLogService& service);
