// Meshing a generated 25 km closed circuit (12 bands per section, 1 m
// across) at 4 m and at 1 m along: the whole track's surfaces, walls and
// details as faces, beside copying the bytes of the faces and points it
// produced (the floor any mesher that writes its output pays), each into
// fresh memory and into memory already used. Faces per second are the
// "items" rate; 4x the steps should cost about 4x the time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlFaceArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "mesh/GlPointArray.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

// The track at a longitudinal resolution (metres), built once.
CN5PtfDb& Track(int longRes) {
  static std::map<int, std::unique_ptr<CN5PtfDb>> tracks;
  auto& slot = tracks[longRes];
  if (!slot) {
    CircuitOptions o;
    o.length = 25000;
    o.sections = 100;
    o.bands = 12;
    o.bandWidth = 2.5;
    o.latRes = 1;
    o.longRes = longRes;
    o.banked = true;
    o.detailEvery = 10;
    TrkDsc ds;
    FillGeneratedCircuit(ds, o);
    slot = std::make_unique<CN5PtfDb>();
    if (!PTFObjFromDataBase(ds, *slot, "")) std::fprintf(stderr, "the track was not built\n");
    slot->GetTrackLength();
  }
  return *slot;
}

// Meshes into fresh arrays (their memory is first touched by the mesher,
// as in an export) or, with reuse, into arrays emptied but kept from the
// previous run (the arithmetic alone, without the page faults).
void Mesh(benchmark::State& state, bool reuse) {
  CN5PtfDb& track = Track(static_cast<int>(state.range(0)));
  long long faces = 0, points = 0;
  auto p = std::make_unique<CGlPointArray>();
  auto f = std::make_unique<CGlFaceArray>();
  if (reuse) {
    // One run to size and touch the arrays before timing.
    CGlMipArray t;
    CGlMaterialArray m;
    track.GetGlFaces(*p, *f, t, m);
    p->RemoveAll();
    f->RemoveAll();
  }
  for (auto _ : state) {
    CGlMipArray t;
    CGlMaterialArray m;
    track.GetGlFaces(*p, *f, t, m);
    faces = f->GetSize();
    points = p->GetSize();
    benchmark::DoNotOptimize(f->data());
    benchmark::DoNotOptimize(p->data());
    benchmark::ClobberMemory();
    // Freeing the arrays is not part of meshing.
    state.PauseTiming();
    if (reuse) {
      p->RemoveAll();
      f->RemoveAll();
    } else {
      p = std::make_unique<CGlPointArray>();
      f = std::make_unique<CGlFaceArray>();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * faces);
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["MB"] = static_cast<double>(faces * sizeof(CGlFace) + points * sizeof(CGlPoint)) / 1e6;
}

void BM_GetGlFaces(benchmark::State& state) { Mesh(state, false); }
void BM_GetGlFacesIntoUsedArrays(benchmark::State& state) { Mesh(state, true); }

// The reference: copying as many bytes as the mesher produced, into fresh
// storage or into storage already touched.
void Copy(benchmark::State& state, bool reuse) {
  CN5PtfDb& track = Track(static_cast<int>(state.range(0)));
  CGlPointArray p;
  CGlFaceArray f;
  CGlMipArray t;
  CGlMaterialArray m;
  track.GetGlFaces(p, f, t, m);
  const size_t bytes = f.size() * sizeof(CGlFace) + p.size() * sizeof(CGlPoint);
  std::vector<char> source(bytes);
  std::memcpy(source.data(), f.data(), f.size() * sizeof(CGlFace));
  std::memcpy(source.data() + f.size() * sizeof(CGlFace), p.data(), p.size() * sizeof(CGlPoint));
  std::unique_ptr<char[]> copy(new char[bytes]);
  if (reuse) std::memset(copy.get(), 0, bytes);
  for (auto _ : state) {
    std::memcpy(copy.get(), source.data(), bytes);
    benchmark::DoNotOptimize(copy.get());
    benchmark::ClobberMemory();
    if (!reuse) {
      state.PauseTiming();
      copy.reset(new char[bytes]);
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(f.size()));
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_CopyMeshBytes(benchmark::State& state) { Copy(state, false); }
void BM_CopyMeshBytesIntoUsedMemory(benchmark::State& state) { Copy(state, true); }

BENCHMARK(BM_GetGlFaces)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyMeshBytes)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetGlFacesIntoUsedArrays)->Arg(4)->Arg(1)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyMeshBytesIntoUsedMemory)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
