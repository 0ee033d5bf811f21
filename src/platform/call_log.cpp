// The call log's calls, through the chosen log: the keeping one, or the one
// that keeps nothing.
#include "platform/call_log.h"

#include "platform/call_log_service.h"

const CallLogService kNoCallLog = {
    .sleep = [](uint32_t) {},
    .soundStart = [](const void*) {},
    .soundVolume = [](float) {},
    .screen = [](const char*) {},
    .present = [] {},
    .spriteDraw = [](const void*, int, int, int, int, int, int, float, float) {},
    .textDraw = [](const void*, int, int, uint32_t, std::string_view) {},
    .mapDraw = [](int, int) {},
    .rawDraw = [](const void*, int, int) {},
};

namespace {
const CallLogService* callLogService = &kNoCallLog;
}

void useCallLog(const CallLogService& service) { callLogService = &service; }

void logSleep(uint32_t ms) { callLogService->sleep(ms); }
void logSoundStart(const void* sound) { callLogService->soundStart(sound); }
void logSoundVolume(float volume) { callLogService->soundVolume(volume); }
void logScreen(const char* name) { callLogService->screen(name); }
void logPresent() { callLogService->present(); }

void logSpriteDraw(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                      float rotation, float scale)
{
    callLogService->spriteDraw(texture, x, y, width, height, frame, framesPerRow, rotation, scale);
}

void logTextDraw(const void* font, int x, int y, uint32_t colour, std::string_view text)
{
    callLogService->textDraw(font, x, y, colour, text);
}

void logMapDraw(int h, int v) { callLogService->mapDraw(h, v); }
void logRawDraw(const void* texture, int x, int y) { callLogService->rawDraw(texture, x, y); }
