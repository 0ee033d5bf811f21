// The game state's hash, variable by variable (never the padding of a record).
#include "app/state_hash.h"

#include "game/frame_time.h"
#include "game/world.h"
#include "render/device.h"
#include "scores/score_table.h"
#include "screens/screen_state.h"

#include <cstring>

namespace {

struct Hash {
    uint32_t value = 2166136261u;

    template <typename T>
    void add(const T& item)
    {
        unsigned char bytes[sizeof item];
        std::memcpy(bytes, &item, sizeof item);
        for (unsigned char byte : bytes)
            value = (value ^ byte) * 16777619u;
    }

    void add(const Sprite& s)
    {
        for (float f : {s.x, s.y, s.scale, s.angle, s.vx, s.vy})
            add(f);
        for (int32_t i : {s.frame, s.framesPerRow, s.width, s.height, s.firstFrame, s.lastFrame, s.lastFrameTick,
                          s.frameDelay, s.frameStep})
            add(i);
        add(s.active);
    }
};

} // namespace

uint32_t gameStateHash()
{
    Hash hash;
#define KESTRELON_HASH_VARIABLE(type, name, start) hash.add(name);
#define KESTRELON_HASH_SPRITE(name) hash.add(name);
#define KESTRELON_HASH_SPRITES(name, count)                                                                           \
    for (const Sprite& sprite : name)                                                                                   \
        hash.add(sprite);
    KESTRELON_WORLD_SCORING(KESTRELON_HASH_VARIABLE)
    KESTRELON_WORLD_MOTION(KESTRELON_HASH_VARIABLE)
    KESTRELON_WORLD_SPRITES(KESTRELON_HASH_SPRITE, KESTRELON_HASH_SPRITES)
    KESTRELON_SCREEN_STATE(KESTRELON_HASH_VARIABLE)
#undef KESTRELON_HASH_VARIABLE
#undef KESTRELON_HASH_SPRITE
#undef KESTRELON_HASH_SPRITES
    hash.add(fullScreen);
    hash.add(frameScale);
    for (const ScoreEntry& entry : scoreTable) {
        hash.add(entry.rank);
        hash.add(entry.name);
        hash.add(entry.score);
    }
    return hash.value;
}
