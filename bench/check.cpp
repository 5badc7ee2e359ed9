// The track checker beside loading the same description, as the reference
// measured in the same run: a generated 5,000-section circuit (checking,
// that is building the track model, the row checks and the block counts,
// should take at most about twice as long as reading the XML), and straight
// roads of 400 m sections with six bands and no contours at 5,002, 10,002
// and 20,002 sections, where both should grow linearly with the sections.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "description/TrkDsc.h"
#include "roads/TrackCheck.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

constexpr int kSections = 5000;

// A description file, written once per run; empty when it cannot be.
std::string WriteDescription(const std::string& name, const CircuitOptions& o) {
  const std::string p = (std::filesystem::temp_directory_path() / name).string();
  TrkDsc ds;
  FillGeneratedCircuit(ds, o);
  return ds.WriteXml(p) ? p : std::string();
}

const std::string& CircuitFile() {
  static const std::string path = [] {
    CircuitOptions o;
    o.sections = kSections;
    o.length = 100000;  // 20 m a section
    o.detailEvery = 50;
    return WriteDescription("bench_check_5000.xml", o);
  }();
  return path;
}

const std::string& StraightsFile(int sections) {
  static std::map<int, std::string> paths;
  auto it = paths.find(sections);
  if (it != paths.end()) return it->second;
  CircuitOptions o;
  o.sections = sections;
  o.length = 400.0 * sections;
  o.bands = 6;
  o.straightOnly = true;
  o.contours = false;
  return paths[sections] = WriteDescription("bench_check_straights_" + std::to_string(sections) + ".xml", o);
}

void Load(benchmark::State& state, const std::string& path, int sections) {
  if (path.empty()) {
    state.SkipWithError("the description could not be written");
    return;
  }
  for (auto _ : state) {
    auto db = std::make_unique<TrkDsc>();
    if (!db->ReadXml(path)) state.SkipWithError("the description could not be read");
    benchmark::DoNotOptimize(db->Section.Count());
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * sections);
}

void Check(benchmark::State& state, const std::string& path, int sections) {
  if (path.empty()) {
    state.SkipWithError("the description could not be written");
    return;
  }
  TrkDsc db;
  if (!db.ReadXml(path)) {
    state.SkipWithError("the description could not be read");
    return;
  }
  size_t findings = 0;
  for (auto _ : state) {
    const std::vector<CheckFinding> f = CTrackCheck().Check(db, path);
    findings = f.size();
    benchmark::DoNotOptimize(findings);
  }
  state.counters["findings"] = static_cast<double>(findings);
  state.SetItemsProcessed(state.iterations() * sections);
}

void BM_Load(benchmark::State& state) { Load(state, CircuitFile(), kSections); }
void BM_Check(benchmark::State& state) { Check(state, CircuitFile(), kSections); }
void BM_LoadStraights(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Load(state, StraightsFile(n), n);
}
void BM_CheckStraights(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Check(state, StraightsFile(n), n);
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadStraights)->Arg(5002)->Arg(10002)->Arg(20002)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckStraights)->Arg(5002)->Arg(10002)->Arg(20002)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
