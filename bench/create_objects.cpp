// The export blocks of a generated 25 km closed circuit (12 bands across,
// 100 sections) meshed at 1 m and at 4 m resolution in one run, so the cost
// per face of both can be compared (it should stay the same); and the glTF
// export of the 1 m track beside copying and writing the same number of
// bytes through the same file replacement.
//
// Counters: faces (per CreateObjects), faces_per_s, mesh_MB (the blocks'
// point and face arrays), peak_ratio (resident memory added during the run
// over mesh_MB; needs /proc/self/clear_refs) and bytes (file size).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "formats/gltf/GltfWriter.h"
#include "mapping/PtfMapping.h"
#include "mesh/GlBlockArray.h"
#include "mesh/GlMaterialArray.h"
#include "mesh/GlMipArray.h"
#include "roads/Lapforge.h"
#include "support/FileIO.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

struct Built {
  std::unique_ptr<CN5PtfDb> model = std::make_unique<CN5PtfDb>();
};

// The track model at a resolution (metres, along and across), built once.
CN5PtfDb& Track(int metres) {
  static std::map<int, Built> cache;
  Built& b = cache[metres];
  if (b.model->NoSegments(true) == 0) {
    TrkDsc ds;
    CircuitOptions o;
    o.length = 25000;
    o.sections = 100;
    o.bands = 12;
    o.longRes = metres;
    o.latRes = metres;
    o.banked = true;
    FillGeneratedCircuit(ds, o);
    if (!PTFObjFromDataBase(ds, *b.model, "")) std::fprintf(stderr, "the generated circuit did not build\n");
  }
  return *b.model;
}

struct Mesh {
  CGlBlockArray blocks;
  CGlMaterialArray materials;
  CGlMipArray textures;
  std::vector<std::string> a, b, c;
};

void Create(CN5PtfDb& model, Mesh& m) {
  CLapforge().CreateObjects(model, m.blocks, m.materials, m.textures, m.a, m.b, m.c);
}

long long Faces(const CGlBlockArray& blocks) {
  long long n = 0;
  for (int i = 0; i < blocks.GetSize(); ++i) n += blocks[i].faces.GetSize();
  return n;
}

double ArrayBytes(const CGlBlockArray& blocks) {
  double n = 0;
  for (int i = 0; i < blocks.GetSize(); ++i)
    n += static_cast<double>(blocks[i].points.Items().capacity() * sizeof(CGlPoint) +
                             blocks[i].faces.Items().capacity() * sizeof(CGlFace));
  return n;
}

// Resident set figures of this process, in bytes (0 when unknown).
double ProcStatus(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0) return std::stod(line.substr(n + 1)) * 1024;
  return 0;
}

// Starts a fresh peak: free memory is given back and the high-water mark
// reset. Returns the resident size to measure from, or -1 when the peak
// cannot be reset.
double ResetPeak() {
  malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.close();
  if (!clear) return -1;
  return ProcStatus("VmRSS:");
}

void BM_CreateObjects(benchmark::State& state) {
  const int metres = static_cast<int>(state.range(0));
  CN5PtfDb& model = Track(metres);
  long long faces = 0;
  double arrays = 0, peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<Mesh>();
    const double base = ResetPeak();
    state.ResumeTiming();
    Create(model, *m);
    state.PauseTiming();
    faces = Faces(m->blocks);
    arrays = ArrayBytes(m->blocks);
    if (base >= 0) peak = std::max(peak, ProcStatus("VmHWM:") - base);
    m.reset();
    state.ResumeTiming();
  }
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["faces_per_s"] =
      benchmark::Counter(static_cast<double>(faces), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["mesh_MB"] = arrays / 1e6;
  if (arrays > 0 && peak > 0) state.counters["peak_ratio"] = peak / arrays;
}

// The 1 m mesh, made once for the export benchmarks.
Mesh& Mesh1m() {
  static std::unique_ptr<Mesh> m;
  if (!m) {
    m = std::make_unique<Mesh>();
    Create(Track(1), *m);
  }
  return *m;
}

const std::string kGlb = "/tmp/bench_create_objects.glb";
const std::string kCopy = "/tmp/bench_create_objects.bin";
size_t glbBytes = 0;

void BM_ExportGltf(benchmark::State& state) {
  Mesh& m = Mesh1m();
  for (auto _ : state) {
    CGltfWriter writer;
    writer.Build(m.blocks, m.materials);
    if (Result written = writer.Write(kGlb); !written) state.SkipWithError(written.Text().c_str());
  }
  std::ifstream f(kGlb, std::ios::binary | std::ios::ate);
  glbBytes = static_cast<size_t>(f.tellg());
  state.counters["bytes"] = static_cast<double>(glbBytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(glbBytes));
  std::remove(kGlb.c_str());
}

// The reference: as many bytes copied in memory and written the same way.
void BM_CopySameBytes(benchmark::State& state) {
  if (glbBytes == 0) {
    state.SkipWithError("run BM_ExportGltf first");
    return;
  }
  std::vector<uint8_t> source(glbBytes, 0x5A);
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[glbBytes]);
    std::memcpy(copy.get(), source.data(), glbBytes);
    if (Result written = ReplaceFile(kCopy, copy.get(), glbBytes); !written)
      state.SkipWithError(written.Text().c_str());
  }
  state.counters["bytes"] = static_cast<double>(glbBytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(glbBytes));
  std::remove(kCopy.c_str());
}

// The same two without the file: building the glTF document and buffer
// beside copying its bytes in memory.
void BM_GltfBuildOnly(benchmark::State& state) {
  Mesh& m = Mesh1m();
  for (auto _ : state) {
    CGltfWriter writer;
    writer.Build(m.blocks, m.materials);
    benchmark::DoNotOptimize(writer.Json(std::string()));
  }
}

void BM_MemcpyOnly(benchmark::State& state) {
  if (glbBytes == 0) {
    state.SkipWithError("run BM_ExportGltf first");
    return;
  }
  std::vector<uint8_t> source(glbBytes, 0x5A);
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[glbBytes]);
    std::memcpy(copy.get(), source.data(), glbBytes);
    benchmark::DoNotOptimize(copy.get());
  }
}

BENCHMARK(BM_CreateObjects)->Arg(4)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportGltf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CopySameBytes)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GltfBuildOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemcpyOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

}  // namespace lapforge
