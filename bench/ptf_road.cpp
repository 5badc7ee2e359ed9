// The PTF roads on a big track: 2,000 sections of 12 bands and walls built
// into a track model, written as a PTF, and a PTF read back into a
// description.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "description/TrkDsc.h"
#include "mapping/PtfMapping.h"
#include "support/FileIO.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

constexpr int kSections = 2000;
constexpr int kTractions = 12;

const TrkDsc& BigDescription() {
  static TrkDsc ds;
  static bool filled = false;
  if (!filled) {
    FillCircuit(ds, kSections, kTractions);
    filled = true;
  }
  return ds;
}

const std::string& BigPtf() {
  static const std::string path = [] {
    std::string p = "/tmp/lapforge-bench-road.ptf";
    CN5PtfDb model;
    if (!PTFObjFromDataBase(BigDescription(), model, "")) std::fprintf(stderr, "the track was not built\n");
    std::vector<uint8_t> bytes = model.WritePtfToBuffer(7);
    if (Result written = ReplaceFile(p, bytes); !written) std::fprintf(stderr, "%s\n", written.Text().c_str());
    return p;
  }();
  return path;
}

void BM_BuildModel(benchmark::State& state) {
  const TrkDsc& ds = BigDescription();
  for (auto _ : state) {
    CN5PtfDb model;
    benchmark::DoNotOptimize(PTFObjFromDataBase(ds, model, ""));
  }
  state.SetItemsProcessed(state.iterations() * kSections);
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kMillisecond);

void BM_BuildAndWritePtf(benchmark::State& state) {
  const TrkDsc& ds = BigDescription();
  size_t size = 0;
  for (auto _ : state) {
    CN5PtfDb model;
    if (!PTFObjFromDataBase(ds, model, "")) state.SkipWithError("the track was not built");
    std::vector<uint8_t> bytes = model.WritePtfToBuffer(7);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
  state.SetItemsProcessed(state.iterations() * kSections);
}
BENCHMARK(BM_BuildAndWritePtf)->Unit(benchmark::kMillisecond);

void BM_ReadPtfToDescription(benchmark::State& state) {
  const std::string& path = BigPtf();
  for (auto _ : state) {
    Result read;
    std::unique_ptr<TrkDsc> ds = DataBaseFromPTF(path, false, true, read);
    benchmark::DoNotOptimize(ds.get());
  }
  state.SetItemsProcessed(state.iterations() * kSections);
}
BENCHMARK(BM_ReadPtfToDescription)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
