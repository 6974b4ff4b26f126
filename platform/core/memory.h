// Zero-filled memory blocks for the sound engine's images and the knobs' records.
#pragma once

#include <cstdint>

// A zero-filled block of `size` bytes, or nullptr when size <= 0 or memory runs out.
void* MemAlloc(std::int32_t size);

// Gives a block from MemAlloc back; nullptr is ignored.
void MemRelease(void* block);
