// The warm pool SDL allocates from while the game starts: blocks keep what
// their owners write while the warmer runs through the pool, zeroed blocks
// are zero, a grown block keeps its bytes, a block freed gives back no
// neighbour's pages, and everything still works once start-up is over.
#include "platform/sdl/warm_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Block {
    uint8_t* bytes = nullptr;
    size_t size = 0;
    uint8_t mark = 0;
};

Block filled(size_t size, uint8_t mark)
{
    Block block{static_cast<uint8_t*>(warmAllocate(size)), size, mark};
    if (block.bytes)
        std::memset(block.bytes, mark, size);
    return block;
}

bool intact(const Block& block)
{
    for (size_t i = 0; i < block.size; ++i)
        if (block.bytes[i] != block.mark)
            return false;
    return true;
}

bool allZero(const uint8_t* bytes, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

TEST(WarmMemory, BlocksKeepTheirBytesThroughWarmingFreeingAndTheEndOfStartUp)
{
    startWarmMemoryForSdl();

    // Sizes that leave blocks sharing pages at their edges, big and small,
    // written while the warmer is running through the same pages.
    std::vector<Block> blocks;
    const size_t sizes[] = {300 * 1024 + 17, 64 * 1024, 1 << 20, 200 * 1024 + 4095, 1000, 3 << 20, 70 * 1024 + 1};
    for (int round = 0; round < 3; ++round)
        for (size_t size : sizes) {
            blocks.push_back(filled(size, static_cast<uint8_t>(blocks.size() + 1)));
            ASSERT_NE(blocks.back().bytes, nullptr);
        }

    auto* zeroed = static_cast<uint8_t*>(warmAllocateZeroed(5, 100 * 1024));
    ASSERT_NE(zeroed, nullptr);
    EXPECT_TRUE(allZero(zeroed, 5 * 100 * 1024));

    // Growing moves the block and keeps its bytes; shrinking keeps it.
    Block& grown = blocks[2];
    grown.bytes = static_cast<uint8_t*>(warmReallocate(grown.bytes, grown.size * 2));
    ASSERT_NE(grown.bytes, nullptr);
    EXPECT_TRUE(intact(grown));
    std::memset(grown.bytes + grown.size, grown.mark, grown.size);
    grown.size *= 2;
    EXPECT_EQ(warmReallocate(grown.bytes, 1024), grown.bytes);

    // Every other block freed: its neighbours lose nothing.
    for (size_t i = 0; i < blocks.size(); i += 2) {
        warmRelease(blocks[i].bytes);
        blocks[i].bytes = nullptr;
    }
    for (const Block& block : blocks) {
        if (block.bytes) {
            EXPECT_TRUE(intact(block)) << "block " << int(block.mark) << " of " << block.size << " bytes";
        }
    }

    stopWarmMemory();
    for (const Block& block : blocks) {
        if (block.bytes) {
            EXPECT_TRUE(intact(block)) << "after start-up, block " << int(block.mark);
        }
    }

    // After start-up: the pool's blocks still grow and free, new ones come
    // from the C library.
    Block later = filled(2 << 20, 0xA5);
    EXPECT_TRUE(intact(later));
    Block& moved = blocks[1];
    moved.bytes = static_cast<uint8_t*>(warmReallocate(moved.bytes, moved.size + (1 << 20)));
    ASSERT_NE(moved.bytes, nullptr);
    EXPECT_TRUE(intact(moved));
    warmRelease(later.bytes);
    warmRelease(zeroed);
    for (Block& block : blocks)
        warmRelease(block.bytes);
}

} // namespace
