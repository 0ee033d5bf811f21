// The keeping call log: every call of the game that a trace or a test looks
// at, kept in callLog until the next beginCallLog.
#include "platform/call_log_service.h"
#include "platform/call_log.h"

CallLog callLog;

void beginCallLog()
{
    callLog.sounds.clear();
    callLog.soundVolumes.clear();
    callLog.sleeps.clear();
    callLog.screens.clear();
    callLog.presents = 0;
    callLog.presented.clear();
    callLog.drawing.clear();
}

namespace {

void spriteDraw(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                float rotation, float scale)
{
    LoggedDraw& r = callLog.drawing.emplace_back();
    r.op = DrawOp::Sprite;
    r.handle = texture;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.frame = frame;
    r.framesPerRow = framesPerRow;
    r.rotation = rotation;
    r.scale = scale;
}

void textDraw(const void* font, int x, int y, uint32_t colour, std::string_view text)
{
    LoggedDraw& r = callLog.drawing.emplace_back();
    r.op = DrawOp::Text;
    r.handle = font;
    r.x = x;
    r.y = y;
    r.colour = colour;
    r.text = text;
}

void mapDraw(int h, int v)
{
    LoggedDraw& r = callLog.drawing.emplace_back();
    r.op = DrawOp::Map;
    r.x = h;
    r.y = v;
}

void rawDraw(const void* texture, int x, int y)
{
    LoggedDraw& r = callLog.drawing.emplace_back();
    r.op = DrawOp::Raw;
    r.handle = texture;
    r.x = x;
    r.y = y;
}

} // namespace

const CallLogService kKeepingCallLog = {
    .sleep = [](uint32_t ms) { callLog.sleeps.push_back(ms); },
    .soundStart =
        [](const void* sound) {
            callLog.sounds.push_back(sound);
            callLog.soundVolumes.push_back(1.0f);
        },
    .soundVolume =
        [](float volume) {
            if (!callLog.soundVolumes.empty())
                callLog.soundVolumes.back() = volume;
        },
    .screen = [](const char* name) { callLog.screens.push_back(name); },
    .present =
        [] {
            ++callLog.presents;
            callLog.presented.swap(callLog.drawing);
            callLog.drawing.clear();
        },
    .spriteDraw = spriteDraw,
    .textDraw = textDraw,
    .mapDraw = mapDraw,
    .rawDraw = rawDraw,
};
