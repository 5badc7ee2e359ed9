// The description's XML round trip (load a file, write it back to a file)
// beside the yardstick, pugixml's bare DOM load and save of the same file,
// at 1,000 and 5,000 sections of 12 bands and walls. Each reports the peak
// of its heap and its allocations per row of the description, counted by
// the global allocation functions (and pugixml's, pointed at the same
// count).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>

#include "bench/HeapCount.h"
#include "description/TrkDsc.h"
#include "tests/support/description/Descriptions.h"

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
    const size_t callsBefore = benchheap::Calls(), base = benchheap::StartPeak();
    if (!work(f.path, out)) state.SkipWithError("the round trip failed");
    peak = std::max(peak, benchheap::Peak() - base);
    calls = benchheap::Calls() - callsBefore;
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
  pugi::set_memory_management_functions(benchheap::CountedMalloc, benchheap::CountedFree);
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
