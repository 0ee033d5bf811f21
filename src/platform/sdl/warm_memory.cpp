#include "platform/sdl/warm_memory.h"

#include "platform/sdl/sdl_internal.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace {

// Start-up takes some 19 MB in big blocks (the window's pixels, the map
// buffer, the star map, the first frame's pictures, pictures being
// decoded): that much is warmed; the pool is address space beyond it, and
// only what is used of the rest becomes resident.
constexpr size_t kPoolBytes = 32u << 20;
constexpr size_t kWarmBytes = 20u << 20;
constexpr size_t kSmallestFromPool = 64u * 1024;   // smaller ones cost the kernel little
constexpr size_t kHeader = 64;                      // keeps blocks 64-byte aligned, their size in front
constexpr size_t kWarmStep = 64u * 1024;

char* pool = nullptr;
size_t pageSize = 4096;
std::atomic<size_t> poolTaken{0};       // bytes handed out, from the pool's start
std::atomic<bool> serving{false};
std::jthread warmer;
// Blocks freed while the warmer ran: it may have touched their pages again
// after they were given back, so they are given back once more at the end.
struct PageRange {
    uintptr_t first = 0, last = 0;
};
constexpr size_t kFreedKept = 256;
PageRange freedWhileWarming[kFreedKept];
std::atomic<size_t> freedCount{0};

bool inPool(const void* pointer)
{
    const auto* at = static_cast<const char*>(pointer);
    return pool && at >= pool && at < pool + kPoolBytes;
}

size_t blockSize(const void* pointer)
{
    size_t size;
    std::memcpy(&size, static_cast<const char*>(pointer) - kHeader, sizeof size);
    return size;
}

// The next block of the pool, or null when the pool is spent or start-up is
// over. A block is never handed out twice, so its pages are zero until used.
void* fromPool(size_t size)
{
    if (!serving.load(std::memory_order_relaxed) || size < kSmallestFromPool || size > kPoolBytes)
        return nullptr;
    const size_t span = (size + 2 * kHeader - 1) / kHeader * kHeader;
    size_t at = poolTaken.load();
    do {
        if (at + span > kPoolBytes)
            return nullptr;
    } while (!poolTaken.compare_exchange_weak(at, at + span));
    char* block = pool + at + kHeader;
    std::memcpy(block - kHeader, &size, sizeof size);
    return block;
}

void release(const PageRange& pages)
{
    if (pages.last > pages.first)
        madvise(reinterpret_cast<void*>(pages.first), pages.last - pages.first, MADV_DONTNEED);
}

// The whole pages inside a freed block go back to the system.
void giveBack(void* pointer)
{
    const auto start = reinterpret_cast<uintptr_t>(pointer) - kHeader;
    const auto end = reinterpret_cast<uintptr_t>(pointer) + blockSize(pointer);
    const PageRange pages{(start + pageSize - 1) / pageSize * pageSize, end / pageSize * pageSize};
    release(pages);
    if (serving.load()) {
        const size_t slot = freedCount.fetch_add(1);
        if (slot < kFreedKept)
            freedWhileWarming[slot] = pages;
    }
}

// Runs only when a core has nothing else to do, making the pages resident
// from the pool's start on, skipping what is handed out already.
void warm(std::stop_token stop)
{
    sched_param none{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &none);
    size_t warmed = 0;
    while (!stop.stop_requested()) {
        const size_t taken = poolTaken.load();
        warmed = std::max(warmed, taken / pageSize * pageSize);
        if (warmed >= kWarmBytes)
            return;
        const size_t end = std::min(kWarmBytes, warmed + kWarmStep);
        // A write that changes nothing, so a block handed out meanwhile keeps
        // what its owner wrote; and a fault taken so holds no lock the other
        // threads' mmap calls wait for, as madvise's populating would.
        for (; warmed < end; warmed += pageSize)
            __atomic_fetch_or(pool + warmed, 0, __ATOMIC_RELAXED);
    }
}

void* SDLCALL sdlMalloc(size_t size) { return warmAllocate(size); }
void* SDLCALL sdlCalloc(size_t count, size_t size) { return warmAllocateZeroed(count, size); }
void* SDLCALL sdlRealloc(void* pointer, size_t size) { return warmReallocate(pointer, size); }
void SDLCALL sdlFree(void* pointer) { warmRelease(pointer); }

} // namespace

void* warmAllocate(size_t size)
{
    void* block = fromPool(size);
    return block ? block : std::malloc(size);
}

void* warmAllocateZeroed(size_t count, size_t size)
{
    void* block = size && count <= SIZE_MAX / size ? fromPool(count * size) : nullptr;
    return block ? block : std::calloc(count, size);
}

void warmRelease(void* pointer)
{
    if (inPool(pointer))
        giveBack(pointer);
    else
        std::free(pointer);
}

// A pool block is never grown in place: the next one is taken, as a block
// of the C library's would move.
void* warmReallocate(void* pointer, size_t size)
{
    if (!inPool(pointer))
        return std::realloc(pointer, size);
    const size_t had = blockSize(pointer);
    if (size <= had)
        return pointer;
    void* moved = warmAllocate(size);
    if (moved) {
        std::memcpy(moved, pointer, had);
        warmRelease(pointer);
    }
    return moved;
}

void startWarmMemoryForSdl()
{
    pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* mapped = mmap(nullptr, kPoolBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED)
        return;
    pool = static_cast<char*>(mapped);
    serving = true;
    warmer = std::jthread(warm);
    SDL_SetMemoryFunctions(sdlMalloc, sdlCalloc, sdlRealloc, sdlFree);
}

void stopWarmMemory()
{
    if (!warmer.joinable())
        return;
    warmer.request_stop();
    warmer.join();
    serving = false;
    // Closes the pool in one step: a thread taking a block right now either
    // got it before, or finds the pool spent.
    const size_t taken = (poolTaken.exchange(kPoolBytes) + pageSize - 1) / pageSize * pageSize;
    // Pages warmed beyond the last block handed out are not needed now.
    if (taken < kPoolBytes)
        madvise(pool + taken, kPoolBytes - taken, MADV_DONTNEED);
    const size_t freed = std::min(freedCount.load(), kFreedKept);
    for (size_t i = 0; i < freed; ++i)
        release(freedWhileWarming[i]);
}
