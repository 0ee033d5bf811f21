// Recording is cheap when off: every entry point returns at once.
#include "platform/recorder.h"

#include "platform/platform.h"

CallRecord callRecord;

bool recorderEnabled() { return platformConfig.record; }

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

void recordSleep(uint32_t ms)
{
    if (recorderEnabled())
        callRecord.sleeps.push_back(ms);
}

void recordSoundStart(const void* sound)
{
    if (!recorderEnabled())
        return;
    callRecord.sounds.push_back(sound);
    callRecord.soundVolumes.push_back(1.0f);
}

void recordSoundVolume(float volume)
{
    if (recorderEnabled() && !callRecord.soundVolumes.empty())
        callRecord.soundVolumes.back() = volume;
}

void recordScreen(const char* name)
{
    if (recorderEnabled())
        callRecord.screens.push_back(name);
}

void recordPresent()
{
    if (!recorderEnabled())
        return;
    ++callRecord.presents;
    callRecord.presented.swap(callRecord.drawing);
    callRecord.drawing.clear();
}

void recordSpriteDraw(const void* texture, int x, int y, int width, int height, int frame,
                      int framesPerRow, float rotation, float scale)
{
    if (!recorderEnabled())
        return;
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

void recordTextDraw(const void* font, int x, int y, uint32_t colour, std::string_view text)
{
    if (!recorderEnabled())
        return;
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Text;
    r.handle = font;
    r.x = x;
    r.y = y;
    r.colour = colour;
    r.text = text;
}

void recordMapDraw(int h, int v)
{
    if (!recorderEnabled())
        return;
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Map;
    r.x = h;
    r.y = v;
}

void recordRawDraw(const void* texture, int x, int y)
{
    if (!recorderEnabled())
        return;
    DrawRecord& r = callRecord.drawing.emplace_back();
    r.op = DrawOp::Raw;
    r.handle = texture;
    r.x = x;
    r.y = y;
}
