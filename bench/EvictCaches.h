// Shared by the benchmarks: starts a run with cold caches, as a single
// command on freshly read data does. Without it the small case of a scaling
// benchmark keeps its whole working set in the cache from one run to the
// next while the large case cannot, which measures the cache size rather
// than the algorithm.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lapforge {

inline void EvictCaches() {
  static std::vector<uint8_t> junk(size_t{512} << 20);
  static uint8_t value = 0;
  ++value;
  for (size_t i = 0; i < junk.size(); i += 64) junk[i] = value;
  benchmark::ClobberMemory();
}

}  // namespace lapforge
