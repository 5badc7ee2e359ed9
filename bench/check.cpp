// The track checker on a generated 5,000-section description beside
// loading the same description: checking (building the track model, the
// row checks, the block size bounds) should take at most about twice as
// long as reading the XML.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/TrackCheck.h"
#include "description/TrkDsc.h"
#include "tests/support/description/Descriptions.h"

namespace {

constexpr int kSections = 5000;

// The description file, written once per run.
const std::string& DescriptionFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "bench_check_5000.xml").string();
    TrkDsc ds;
    CircuitOptions o;
    o.sections = kSections;
    o.length = 100000;  // 20 m a section
    o.detailEvery = 50;
    FillGeneratedCircuit(ds, o);
    std::string error;
    if (!ds.WriteXml(p, error)) return std::string();
    return p;
  }();
  return path;
}

void BM_Load(benchmark::State& state) {
  const std::string& path = DescriptionFile();
  if (path.empty()) {
    state.SkipWithError("the description could not be written");
    return;
  }
  for (auto _ : state) {
    auto db = std::make_unique<TrkDsc>();
    db->ReadXml(path);
    benchmark::DoNotOptimize(db->Section.Count());
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kSections);
}

void BM_Check(benchmark::State& state) {
  const std::string& path = DescriptionFile();
  if (path.empty()) {
    state.SkipWithError("the description could not be written");
    return;
  }
  TrkDsc db;
  db.ReadXml(path);
  size_t findings = 0;
  for (auto _ : state) {
    const std::vector<CheckFinding> f = CTrackCheck().Check(db, path);
    findings = f.size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = static_cast<double>(findings);
  state.SetItemsProcessed(state.iterations() * kSections);
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond);

}  // namespace
