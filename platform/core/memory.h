// Zero-filled memory blocks for the sound engine's images and the knobs' records.
#pragma once

#include <cstddef>
#include <cstdint>

// A zero-filled block of `size` bytes, or nullptr when size <= 0 or memory runs out.
void* MemAlloc(std::int32_t size);

// Gives a block from MemAlloc back; nullptr is ignored.
void MemRelease(void* block);

// Asks the system to back `size` bytes at `block` with memory at once, in one
// call, instead of one page fault per page as they are first written: for a
// large block that is about to be written whole, such as a sound's image.
// Only a hint: where the system cannot, the pages come as they are touched.
void MemPrefault(void* block, std::size_t size);
