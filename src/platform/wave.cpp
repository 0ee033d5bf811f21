// Reading a WAV file's chunks: the format and the length of the data, from
// a few dozen bytes at the start of the file and of each chunk.
#include "platform/wave.h"

#include "platform/system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

uint32_t little32(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t little16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

struct File {
    std::FILE* handle;
    ~File()
    {
        if (handle)
            std::fclose(handle);
    }
};

constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;
constexpr uint16_t kExtensible = 0xFFFE;

} // namespace

bool readWaveLength(const char* path, uint32_t& lengthMs)
{
    std::string error;
    File file{openRegularFile(path, error)};
    if (!file.handle || std::fseek(file.handle, 0, SEEK_END) != 0)
        return false;
    const long fileSize = std::ftell(file.handle);
    unsigned char riff[12];
    if (fileSize < 12 || std::fseek(file.handle, 0, SEEK_SET) != 0 || std::fread(riff, 1, 12, file.handle) != 12
        || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    // The RIFF chunk bounds the file's chunks; what lies past it is not the sound's.
    const long end = std::min<long>(fileSize, 8 + static_cast<long>(little32(riff + 4)));
    long at = 12;
    bool haveFormat = false;
    uint32_t rate = 0, frameBytes = 0;
    while (at + 8 <= end) {
        unsigned char header[8];
        if (std::fseek(file.handle, at, SEEK_SET) != 0 || std::fread(header, 1, 8, file.handle) != 8)
            return false;
        const long size = little32(header + 4);
        if (size > end - at - 8)
            return false;   // the chunk runs past the end: cut short or damaged
        if (std::memcmp(header, "fmt ", 4) == 0) {
            unsigned char format[40] = {};
            if (size < 16 || std::fread(format, 1, size < 40 ? size : 40, file.handle) < 16)
                return false;
            uint16_t tag = little16(format);
            if (tag == kExtensible && size >= 40)
                tag = little16(format + 24);   // the sub-format's first two bytes
            const uint16_t channels = little16(format + 2);
            const uint16_t bits = little16(format + 14);
            rate = little32(format + 4);
            if ((tag != kPcm && tag != kFloat) || channels == 0 || rate == 0 || bits == 0 || bits % 8 != 0)
                return false;
            frameBytes = bits / 8u * channels;
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat)
                return false;
            lengthMs = static_cast<uint32_t>(static_cast<uint64_t>(size) / frameBytes * 1000 / rate);
            return true;
        }
        at += 8 + size + (size & 1);   // chunks are padded to an even length
    }
    return false;
}
