// The trace line. Floats are written with 9 significant digits, so each one
// reads back to the same 32-bit value.
#include "app/trace.h"

#include "app/frame_driver.h"
#include "audio/sound.h"
#include "game/frame_time.h"
#include "game/world.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/call_log.h"
#include "render/assets.h"
#include "render/device.h"
#include "screens/screen_state.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

// As printf's "%.9g" writes it, without printf's cost.
void appendFloat(std::string& out, float value)
{
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 9);
    out.append(text, result.ptr);
}

void appendInt(std::string& out, int64_t value)
{
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void appendBool(std::string& out, bool value) { out += value ? "true" : "false"; }

void appendString(std::string& out, std::string_view text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void key(std::string& out, const char* name)
{
    out += ",\"";
    out += name;
    out += "\":";
}

void field(std::string& out, const char* name, int64_t value)
{
    key(out, name);
    appendInt(out, value);
}

void field(std::string& out, const char* name, int32_t value) { field(out, name, int64_t{value}); }

void field(std::string& out, const char* name, bool value)
{
    key(out, name);
    appendBool(out, value);
}

void field(std::string& out, const char* name, float value)
{
    key(out, name);
    appendFloat(out, value);
}

const char* modeName(FrameMode mode)
{
    switch (mode) {
    case FrameMode::Menu: return "menu";
    case FrameMode::Difficulty: return "difficulty";
    case FrameMode::Play: return "play";
    case FrameMode::Idle: break;
    }
    return "idle";
}

const char* soundName(const void* sound)
{
    struct Named { PlatformSound* const* handle; const char* name; };
    const Named named[] = {
        {&shootSound, "shoot"},         {&scoreSound, "score"},     {&hitSound, "hit"},
        {&gameoverSound, "gameover"},   {&countdownSound, "countdown"}, {&oneUpSound, "oneUp"},
        {&levelupSound, "levelup"},     {&bossshootSound, "bossshoot"}, {&menubgndSound, "menubgnd"},
    };
    for (const Named& entry : named)
        if (*entry.handle == sound)
            return entry.name;
    return "unknown";
}

const char* fontName(const void* font)
{
    if (font == fontArial26)
        return "arial26";
    if (font == fontArial48)
        return "arial48";
    if (font == fontCourier22)
        return "courier22";
    return "unknown";
}

// `"name":[...]` with `count` items, each written by `appendItem(i)`.
template <typename AppendItem>
void appendList(std::string& out, const char* name, size_t count, AppendItem appendItem)
{
    key(out, name);
    out += '[';
    for (size_t i = 0; i < count; ++i) {
        if (i)
            out += ',';
        appendItem(i);
    }
    out += ']';
}

// Shots as [x,y,active].
template <typename Shot>
void appendShots(std::string& out, const char* name, const Shot* shots, size_t count)
{
    appendList(out, name, count, [&](size_t i) {
        out += '[';
        appendFloat(out, shots[i].x);
        out += ',';
        appendFloat(out, shots[i].y);
        out += ',';
        appendBool(out, shots[i].active);
        out += ']';
    });
}

void appendSprites(std::string& out)
{
    key(out, "ship");
    out += "{\"x\":";
    appendFloat(out, ship.x);
    out += ",\"y\":";
    appendFloat(out, ship.y);
    out += '}';

    appendList(out, "asteroids", kAsteroidCount, [&](size_t i) {
        const Sprite& a = asteroids[i];
        out += '[';
        appendFloat(out, a.x);
        out += ',';
        appendFloat(out, a.y);
        out += ',';
        appendFloat(out, a.vx);
        out += ',';
        appendFloat(out, a.vy);
        out += ',';
        appendInt(out, a.frame);
        out += ',';
        appendBool(out, a.active);
        out += ']';
    });
    appendShots(out, "bullets", bullets, kBulletCount);

    key(out, "boss");
    out += "{\"x\":";
    appendFloat(out, boss.x);
    out += ",\"y\":";
    appendFloat(out, boss.y);
    out += ",\"vx\":";
    appendFloat(out, boss.vx);
    out += ",\"active\":";
    appendBool(out, boss.active);
    out += '}';

    appendShots(out, "bossShots", bossShots, kBossShotCount);
}

void appendDraw(std::string& out, const LoggedDraw& draw)
{
    switch (draw.op) {
    case DrawOp::Sprite:
        out += "{\"op\":\"sprite\",\"tex\":";
        appendString(out, textureName(static_cast<const PlatformTexture*>(draw.handle)));
        field(out, "x", int64_t{draw.x});
        field(out, "y", int64_t{draw.y});
        field(out, "w", int64_t{draw.width});
        field(out, "h", int64_t{draw.height});
        field(out, "frame", int64_t{draw.frame});
        field(out, "fpr", int64_t{draw.framesPerRow});
        field(out, "rot", draw.rotation);
        field(out, "scale", draw.scale);
        break;
    case DrawOp::Text: {
        out += "{\"op\":\"text\",\"font\":";
        appendString(out, fontName(draw.handle));
        field(out, "x", int64_t{draw.x});
        field(out, "y", int64_t{draw.y});
        char colour[16];
        std::snprintf(colour, sizeof colour, "%08X", draw.colour);
        key(out, "colour");
        appendString(out, colour);
        key(out, "text");
        appendString(out, draw.text);
        break;
    }
    case DrawOp::Map:
        out += "{\"op\":\"map\",\"h\":";
        appendInt(out, draw.x);
        field(out, "v", int64_t{draw.y});
        break;
    case DrawOp::Raw:
        out += "{\"op\":\"raw\",\"tex\":";
        appendString(out, textureName(static_cast<const PlatformTexture*>(draw.handle)));
        field(out, "x", int64_t{draw.x});
        field(out, "y", int64_t{draw.y});
        break;
    }
    out += '}';
}

} // namespace

void appendTraceLine(std::string& out, int64_t callNumber, bool withDraws)
{
    out += "{\"n\":";
    appendInt(out, callNumber);
    field(out, "t", peekPerformanceCounter() * 1000 / readPerformanceFrequency());
    field(out, "frameScale", frameScale);
    key(out, "mode");
    appendString(out, modeName(lastFrameMode));
#define KESTRELON_TRACE_VARIABLE(type, name, start) field(out, #name, name);
    KESTRELON_SCREEN_STATE(KESTRELON_TRACE_VARIABLE)
    field(out, "fullScreen", fullScreen);
    KESTRELON_WORLD_SCORING(KESTRELON_TRACE_VARIABLE)
    field(out, "bossAlive", bossAlive());
    KESTRELON_WORLD_MOTION(KESTRELON_TRACE_VARIABLE)
#undef KESTRELON_TRACE_VARIABLE
    appendSprites(out);

    appendList(out, "sounds", callLog.sounds.size(),
               [&](size_t i) { appendString(out, soundName(callLog.sounds[i])); });
    appendList(out, "sleeps", callLog.sleeps.size(), [&](size_t i) { appendInt(out, callLog.sleeps[i]); });
    field(out, "presents", int64_t{callLog.presents});
    appendList(out, "screens", callLog.screens.size(), [&](size_t i) { appendString(out, callLog.screens[i]); });
    if (withDraws)
        appendList(out, "draws", callLog.presented.size(),
                   [&](size_t i) { appendDraw(out, callLog.presented[i]); });
    out += "}\n";
}

namespace {

std::FILE* traceFile = nullptr;
std::string tracePath;
std::string traceLine;

void traceWriteFailed()
{
    endRunForFailedWrite(tracePath, std::strerror(errno));
    std::fclose(traceFile);
    traceFile = nullptr;
}

} // namespace

bool openTraceFile(const std::string& path, std::string& error)
{
    traceFile = openOutput(path, true, error);
    tracePath = path;
    return traceFile != nullptr;
}

bool traceFileOpen() { return traceFile != nullptr; }

void writeTraceLine(int64_t callNumber, bool withDraws)
{
    if (!traceFile)
        return;
    traceLine.clear();
    appendTraceLine(traceLine, callNumber, withDraws);
    if (std::fwrite(traceLine.data(), 1, traceLine.size(), traceFile) != traceLine.size())
        traceWriteFailed();
}

bool closeTraceFile()
{
    if (!traceFile)
        return !aWriteFailed();
    if (std::fflush(traceFile) != 0) {
        traceWriteFailed();
        return false;
    }
    const bool closed = std::fclose(traceFile) == 0;
    traceFile = nullptr;
    if (!closed)
        endRunForFailedWrite(tracePath, std::strerror(errno));
    return closed;
}
