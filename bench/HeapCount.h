// The heap a benchmark program uses, counted by replacing the global
// allocation functions: the bytes in use, their peak and the allocations
// made (thread-safe: an export makes its blocks on a second thread).
// Include it in one file of a program only, since it defines operator new
// and delete for the whole program.
#pragma once

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace benchheap {

inline std::atomic<size_t> g_now{0}, g_peak{0}, g_calls{0};

inline void* Counted(void* p) {
  if (!p) return p;
  const size_t size = malloc_usable_size(p);
  const size_t now = g_now.fetch_add(size) + size;
  size_t peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
  g_calls.fetch_add(1);
  return p;
}

// Allocation functions for a library that takes its own (pugixml's).
inline void* CountedMalloc(size_t n) { return Counted(std::malloc(n)); }
inline void CountedFree(void* p) {
  if (p) g_now.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

// The bytes in use now; the peak is measured from here on.
inline size_t StartPeak() {
  const size_t now = g_now.load();
  g_peak = now;
  return now;
}
inline size_t Peak() { return g_peak.load(); }
inline size_t Calls() { return g_calls.load(); }

}  // namespace benchheap

void* operator new(size_t n) {
  if (void* p = benchheap::Counted(std::malloc(n ? n : 1))) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { benchheap::CountedFree(p); }
void operator delete[](void* p) noexcept { benchheap::CountedFree(p); }
void operator delete(void* p, size_t) noexcept { benchheap::CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { benchheap::CountedFree(p); }
