// Memory blocks come straight from the C heap: calloc already hands out zeroed
// memory and grows as needed, which is all the callers rely on.
#include "platform/core/memory.h"

#include <cstdlib>

void* MemAlloc(std::int32_t size) {
  if (size <= 0) return nullptr;
  return std::calloc(static_cast<std::size_t>(size), 1);
}

void MemRelease(void* block) {
  std::free(block);
}
