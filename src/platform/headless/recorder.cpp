// The keeping recorder: every call of the game that a trace or a test looks
// at, kept in callRecord until the next recorderBeginCall.
#include "platform/backends.h"
#include "platform/recorder.h"

CallRecord callRecord;

void recorderBeginCall()
{
    callRecord.sounds.clear();
    callRecord.soundVolumes.clear();
    callRecord.sleeps.clear();
    callRecord.screens.clear();
    callRecord.presents = 0;
    callRecord.presented.clear();
    callRecord.drawing.clear();
}

namespace {

void spriteDraw(const void* texture, int x, int y, int width, int height, int frame, int framesPerRow,
                float rotation, float scale)
{
    DrawRecord& r = callRecord.drawing.emplace_back();
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
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Text;
    r.handle = font;
    r.x = x;
    r.y = y;
    r.colour = colour;
    r.text = text;
}

void mapDraw(int h, int v)
{
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Map;
    r.x = h;
    r.y = v;
}

void rawDraw(const void* texture, int x, int y)
{
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Raw;
    r.handle = texture;
    r.x = x;
    r.y = y;
}

} // namespace

const RecorderService kKeepingRecorder = {
    .sleep = [](uint32_t ms) { callRecord.sleeps.push_back(ms); },
    .soundStart =
        [](const void* sound) {
            callRecord.sounds.push_back(sound);
            callRecord.soundVolumes.push_back(1.0f);
        },
    .soundVolume =
        [](float volume) {
            if (!callRecord.soundVolumes.empty())
                callRecord.soundVolumes.back() = volume;
        },
    .screen = [](const char* name) { callRecord.screens.push_back(name); },
    .present =
        [] {
            ++callRecord.presents;
            callRecord.presented.swap(callRecord.drawing);
            callRecord.drawing.clear();
        },
    .spriteDraw = spriteDraw,
    .textDraw = textDraw,
    .mapDraw = mapDraw,
    .rawDraw = rawDraw,
};
