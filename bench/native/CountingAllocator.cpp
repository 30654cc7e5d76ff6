// Replaces the global operator new and delete to count the bytes the heap
// really hands out (malloc_usable_size, so growth slack counts too). Every
// C++ allocation of the program goes through here: strings, the fake's
// files, the decoder's output.
#include "CountingAllocator.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace quietreel::bench {
namespace {

std::atomic<std::size_t> now{0};
std::atomic<std::size_t> peak{0};

void* Count(void* block) {
  if (!block) throw std::bad_alloc();
  const std::size_t held = now.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
  std::size_t seen = peak.load();
  while (held > seen && !peak.compare_exchange_weak(seen, held)) {
  }
  return block;
}

void Release(void* block) {
  if (!block) return;
  now.fetch_sub(malloc_usable_size(block));
  std::free(block);
}

}  // namespace

std::size_t HeapBytesNow() { return now.load(); }
std::size_t HeapBytesPeak() { return peak.load(); }
void ResetHeapPeak() { peak.store(now.load()); }

}  // namespace quietreel::bench

using quietreel::bench::Count;
using quietreel::bench::Release;

void* operator new(std::size_t size) { return Count(std::malloc(size ? size : 1)); }
void* operator new[](std::size_t size) { return Count(std::malloc(size ? size : 1)); }
void* operator new(std::size_t size, std::align_val_t align) {
  const auto alignment = static_cast<std::size_t>(align);
  return Count(std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment));
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Release(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Release(block); }
