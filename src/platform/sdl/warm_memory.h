// Memory for the big buffers SDL takes while the game starts (the window's
// pixels, the map buffer, the textures of the first frame), made resident
// beforehand by a thread that runs only when a core would otherwise idle.
// The first frame then waits less for the kernel to find its pages.
#pragma once

#include <cstddef>

// Hands SDL's allocations to the warm pool; call before any other SDL call.
void startWarmMemoryForSdl();
// Start-up is over: no more warming, and what was warmed but not taken is
// given back.
void stopWarmMemory();

// SDL's allocator while the pool is in use: big blocks from the pool, the
// rest (and everything once start-up is over) from the C library.
void* warmAllocate(size_t size);
void* warmAllocateZeroed(size_t count, size_t size);
void* warmReallocate(void* pointer, size_t size);
void warmRelease(void* pointer);
