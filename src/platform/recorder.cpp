// The recorder calls, through the chosen recorder: the keeping one, or the
// one that keeps nothing.
#include "platform/recorder.h"

#include "platform/backends.h"

const RecorderService kNoRecorder = {
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
const RecorderService* recorder = &kNoRecorder;
}

void useRecorder(const RecorderService& service) { recorder = &service; }

void recordSleep(uint32_t ms) { recorder->sleep(ms); }
void recordSoundStart(const void* sound) { recorder->soundStart(sound); }
void recordSoundVolume(float volume) { recorder->soundVolume(volume); }
void recordScreen(const char* name) { recorder->screen(name); }
void recordPresent() { recorder->present(); }

void recordSpriteDraw(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                      float rotation, float scale)
{
    recorder->spriteDraw(texture, x, y, width, height, frame, framesPerRow, rotation, scale);
}

void recordTextDraw(const void* font, int x, int y, uint32_t colour, std::string_view text)
{
    recorder->textDraw(font, x, y, colour, text);
}

void recordMapDraw(int h, int v) { recorder->mapDraw(h, v); }
void recordRawDraw(const void* texture, int x, int y) { recorder->rawDraw(texture, x, y); }
