// The description's XML round trip (load a file, write it back to a file)
// beside the yardstick, pugixml's bare DOM load and save of the same file,
// at 1,000 and 5,000 sections of 12 bands and walls. Each reports the peak
// of its heap and its allocations per row of the description, counted by
// the global allocation functions (and pugixml's, pointed at the same
// count).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <pugixml.hpp>
#include <string>

#include "description/TrkDsc.h"
#include "tests/support/description/Descriptions.h"

namespace {

// The heap in use, its peak and the allocations made. The benchmarks run
// on one thread.
struct HeapCount {
  size_t now = 0, peak = 0, calls = 0;
} g_heap;

void* Counted(void* p) {
  if (p) {
    g_heap.now += malloc_usable_size(p);
    g_heap.peak = std::max(g_heap.peak, g_heap.now);
    ++g_heap.calls;
  }
  return p;
}

void Uncounted(void* p) {
  if (p) g_heap.now -= malloc_usable_size(p);
  std::free(p);
}

void* CountedMalloc(size_t n) { return Counted(std::malloc(n)); }

}  // namespace

void* operator new(size_t n) {
  if (void* p = Counted(std::malloc(n ? n : 1))) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, size_t) noexcept { Uncounted(p); }

namespace lapforge {

namespace {

// A generated description of the given number of sections, written once.
struct BenchFile {
  std::string path;
  double rows = 0;
  double megabytes = 0;
};

const BenchFile& FileOf(int sections) {
  static std::map<int, BenchFile> files;
  BenchFile& f = files[sections];
  if (f.path.empty()) {
    f.path = "/tmp/lapforge-bench-description-" + std::to_string(sections) + ".xml";
    TrkDsc ds;
    FillCircuit(ds, sections, 12);
    for (int t = 0; t < ds.TableCount(); ++t) f.rows += ds.Table(t).Count();
    if (Result written = ds.WriteXml(f.path); !written) std::fprintf(stderr, "%s\n", written.Text().c_str());
    f.megabytes = static_cast<double>(ds.GetXml().size()) / 1e6;
  }
  return f;
}

// Runs one pass of work per iteration, its heap counted from the start of
// the pass.
template <class Work>
void Measure(benchmark::State& state, Work work) {
  const BenchFile& f = FileOf(static_cast<int>(state.range(0)));
  const std::string out = f.path + ".out";
  size_t peak = 0, calls = 0;
  for (auto _ : state) {
    const size_t base = g_heap.now, callsBefore = g_heap.calls;
    g_heap.peak = base;
    if (!work(f.path, out)) state.SkipWithError("the round trip failed");
    peak = std::max(peak, g_heap.peak - base);
    calls = g_heap.calls - callsBefore;
  }
  std::remove(out.c_str());
  state.counters["file_MB"] = f.megabytes;
  state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["allocs_per_row"] = static_cast<double>(calls) / f.rows;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.megabytes * 1e6));
}

void BM_RoundTrip(benchmark::State& state) {
  Measure(state, [](const std::string& in, const std::string& out) {
    TrkDsc ds;
    return ds.ReadXml(in) && ds.WriteXml(out);
  });
}
BENCHMARK(BM_RoundTrip)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_PugixmlLoadSave(benchmark::State& state) {
  pugi::set_memory_management_functions(CountedMalloc, Uncounted);
  Measure(state, [](const std::string& in, const std::string& out) {
    pugi::xml_document doc;
    return doc.load_file(in.c_str()) && doc.save_file(out.c_str());
  });
}
BENCHMARK(BM_PugixmlLoadSave)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Load(benchmark::State& state) {
  const std::string& in = FileOf(5000).path;
  for (auto _ : state) {
    TrkDsc ds;
    if (!ds.ReadXml(in)) state.SkipWithError("the description could not be read");
    benchmark::DoNotOptimize(ds.Section.Count());
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Write(benchmark::State& state) {
  TrkDsc ds;
  if (!ds.ReadXml(FileOf(5000).path)) state.SkipWithError("the description could not be read");
  for (auto _ : state) {
    std::string out = ds.GetXml();
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

}  // namespace lapforge
