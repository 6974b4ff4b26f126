// The allocation counter: malloc, calloc, realloc and free replaced by thin
// forwarders to glibc's own allocator. C++'s operator new ends in malloc, so
// it is counted too.
#include "alloc_counter.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void __libc_free(void* block);
}

namespace {

bool counting = false;
AllocCount count;

void Note(std::size_t bytes) {
  if (!counting) return;
  ++count.blocks;
  count.bytes += bytes;
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  Note(size);
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  Note(count * size);
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
  Note(size);
  return __libc_realloc(block, size);
}

void free(void* block) {
  __libc_free(block);
}

}  // extern "C"

void AllocCountStart() {
  count = {};
  counting = true;
}

AllocCount AllocCountStop() {
  counting = false;
  return count;
}
