// Memory blocks come straight from the C heap: calloc already hands out zeroed
// memory and grows as needed, which is all the callers rely on. Prefaulting
// uses Linux's madvise; elsewhere it does nothing.
#include "platform/core/memory.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

void* MemAlloc(std::int32_t size) {
  if (size <= 0) return nullptr;
  return std::calloc(static_cast<std::size_t>(size), 1);
}

void MemRelease(void* block) {
  std::free(block);
}

void MemPrefault(void* block, std::size_t size) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  // madvise takes whole pages: the ones that lie inside the block.
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(block) + size) / page * page;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)block;
  (void)size;
#endif
}
