// Counts the heap allocations made while counting is on, so a benchmark can
// show what a render allocates. Works by standing in for the C library's
// allocator (glibc exports the real one as __libc_malloc and friends).
#pragma once

#include <cstddef>

struct AllocCount {
  std::size_t blocks = 0;
  std::size_t bytes = 0;
};

// Starts counting from zero.
void AllocCountStart();

// Stops counting and returns what was allocated since AllocCountStart.
AllocCount AllocCountStop();
