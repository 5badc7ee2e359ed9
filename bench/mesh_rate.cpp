// The meshing rate on one core: every export block of a generated 25 km
// circuit meshed at 1 m by 1 m, one after another into one block whose
// arrays are warm and reserved for the largest (as the streamed exports
// make them), beside a plain memory write of the same bytes (each block's
// point and face records written over one warm buffer).
//
// Counters: faces_per_s (faces meshed, or written, per second), faces and
// MB (the point and face records of all blocks).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlock.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/BlockStream.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

CN5PtfDb& Track() {
  static std::unique_ptr<CN5PtfDb> model = [] {
    auto m = std::make_unique<CN5PtfDb>();
    TrkDsc ds;
    FillGeneratedCircuit(ds, FineCircuit(25));
    if (!PTFObjFromDataBase(ds, *m, "")) std::fprintf(stderr, "the generated circuit did not build\n");
    return m;
  }();
  return *model;
}

// The faces and points of each block, counted by meshing them once.
struct Sizes {
  std::vector<std::pair<size_t, size_t>> blocks;  // faces, points
  long long faces = 0;
  double bytes = 0;
};

const Sizes& BlockSizes() {
  static const Sizes sizes = [] {
    Sizes s;
    CGlMaterialArray materials;
    CGlMipArray textures;
    CBlockStream stream(Track(), materials, textures);
    CGlBlock block;
    stream.ForEach(block, "", [&](int, const CGlBlock& made) {
      s.blocks.emplace_back(made.faces.size(), made.points.size());
      s.faces += static_cast<long long>(made.faces.size());
      s.bytes += static_cast<double>(made.faces.size() * sizeof(CGlFace) + made.points.size() * sizeof(CGlPoint));
    });
    return s;
  }();
  return sizes;
}

void BM_Meshing(benchmark::State& state) {
  CN5PtfDb& model = Track();
  const Sizes& sizes = BlockSizes();
  CGlBlock block;
  long long faces = 0;
  for (auto _ : state) {
    // Fresh lists as an export has; the block's arrays stay warm.
    CGlMaterialArray materials;
    CGlMipArray textures;
    CBlockStream stream(model, materials, textures);
    stream.ForEach(block, "", [&](int, const CGlBlock& made) { faces += static_cast<long long>(made.faces.size()); });
    benchmark::ClobberMemory();
  }
  state.counters["faces_per_s"] = benchmark::Counter(static_cast<double>(faces), benchmark::Counter::kIsRate);
  state.counters["faces"] = static_cast<double>(sizes.faces);
  state.counters["MB"] = sizes.bytes / 1e6;
}

// The yardstick: the same records' bytes written block by block over one
// warm buffer the size of the largest block.
void BM_MemoryWriteOfTheSameBytes(benchmark::State& state) {
  const Sizes& sizes = BlockSizes();
  size_t largest = 0;
  for (const auto& [f, p] : sizes.blocks) largest = std::max(largest, f * sizeof(CGlFace) + p * sizeof(CGlPoint));
  std::vector<unsigned char> from(largest, 1), to(largest, 0);
  long long faces = 0;
  for (auto _ : state) {
    for (const auto& [f, p] : sizes.blocks) {
      std::memcpy(to.data(), from.data(), f * sizeof(CGlFace) + p * sizeof(CGlPoint));
      benchmark::ClobberMemory();
      faces += static_cast<long long>(f);
    }
  }
  state.counters["faces_per_s"] = benchmark::Counter(static_cast<double>(faces), benchmark::Counter::kIsRate);
  state.counters["MB"] = sizes.bytes / 1e6;
}

BENCHMARK(BM_Meshing)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MemoryWriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

}  // namespace lapforge
