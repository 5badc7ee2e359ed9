// Welding and smooth shading of large meshes: both must grow as n log n in
// the number of points (one sort each), not quadratically.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "bench/EvictCaches.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlPointArray.h"

namespace lapforge {

namespace {

// A gently rolling grid of quads, each with its own four points (as a mesh
// looks before welding), corners carrying sub-tolerance noise. About
// `pointCount` points, stored quad by quad as a mesher makes them, or (the
// worst case for the memory caches) in shuffled order.
void MakeMesh(int pointCount, bool shuffled, CGlPointArray& points, CGlFaceArray& faces) {
  const int side = static_cast<int>(std::sqrt(pointCount / 4.0));
  const int quads = side * side;
  std::mt19937 rng(12345);
  auto noise = [&rng] { return static_cast<float>(static_cast<int>(rng() % 4001) - 2000) * 1e-8f; };
  std::vector<int32_t> slot(static_cast<size_t>(quads) * 4);
  std::iota(slot.begin(), slot.end(), 0);
  if (shuffled) std::shuffle(slot.begin(), slot.end(), rng);
  points.SetSize(static_cast<long long>(slot.size()));
  faces.Reserve(quads);
  auto height = [](float x, float y) { return std::sin(x * 0.05f) * 3.0f + std::cos(y * 0.03f) * 2.0f; };
  for (int j = 0; j < side; ++j) {
    for (int i = 0; i < side; ++i) {
      const int q = j * side + i;
      const float cx[4] = {0, 1, 1, 0}, cy[4] = {0, 0, 1, 1};
      CGlFace f;
      f.materialIndex = 0;
      for (int k = 0; k < 4; ++k) {
        const float x = static_cast<float>(i) + cx[k], y = static_cast<float>(j) + cy[k];
        const int32_t s = slot[static_cast<size_t>(q) * 4 + k];
        CGlPoint p(x + noise(), y + noise(), height(x, y));
        points.Items()[static_cast<size_t>(s)] = p;
        f.AddVertex(s);
      }
      faces.Add(f);
    }
  }
}

void BM_PurgeDuplicatePoints(benchmark::State& state, bool shuffled, bool cold) {
  CGlPointArray basePoints;
  CGlFaceArray baseFaces;
  MakeMesh(static_cast<int>(state.range(0)), shuffled, basePoints, baseFaces);
  int welded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CGlPointArray points = basePoints;
    CGlFaceArray faces = baseFaces;
    if (cold) EvictCaches();
    state.ResumeTiming();
    faces.PurgeDuplicatePoints(points, false);
    welded = points.GetSize();
    benchmark::DoNotOptimize(points.data());
  }
  state.counters["points"] = static_cast<double>(basePoints.GetSize());
  state.counters["welded"] = welded;
  state.SetComplexityN(basePoints.GetSize());
}

void BM_VertexShading(benchmark::State& state, bool shuffled, bool cold) {
  CGlPointArray points;
  CGlFaceArray faces;
  MakeMesh(static_cast<int>(state.range(0)), shuffled, points, faces);
  for (auto _ : state) {
    if (cold) {
      state.PauseTiming();
      EvictCaches();
      state.ResumeTiming();
    }
    faces.VertexShading(points);
    benchmark::DoNotOptimize(points.data());
  }
  state.counters["points"] = static_cast<double>(points.GetSize());
  state.SetComplexityN(points.GetSize());
}

}  // namespace

BENCHMARK_CAPTURE(BM_PurgeDuplicatePoints, generated, false, false)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK_CAPTURE(BM_VertexShading, generated, false, false)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK_CAPTURE(BM_PurgeDuplicatePoints, shuffled, true, false)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK_CAPTURE(BM_VertexShading, shuffled, true, false)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK_CAPTURE(BM_PurgeDuplicatePoints, generated_cold, false, true)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK_CAPTURE(BM_VertexShading, generated_cold, false, true)
    ->Arg(250000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);

}  // namespace lapforge
