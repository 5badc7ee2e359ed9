// Building a generated 25 km track section by section and writing it as a
// PTF file, at 2,000 and at 250 sections: the time per section should stay
// the same (linear cost).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/track/TrackBuilders.h"
#include "track/N5Ptf.h"

namespace lapforge {

namespace {

// Builds the track and writes its PTF file; when freeModel is set the model
// is also freed inside the timing (the whole life of an export).
void BuildAndWrite(benchmark::State& state, bool freeModel) {
  const int sections = static_cast<int>(state.range(0));
  const std::string path = "/tmp/bench_track_build_" + std::to_string(sections) + ".ptf";
  for (auto _ : state) {
    auto ptf = std::make_unique<CN5Ptf>();
    BuildGeneratedTrack(*ptf, sections, 25000);
    double length = ptf->GetTrackLength();
    benchmark::DoNotOptimize(length);
    if (!ptf->WritePtf(path, 7)) state.SkipWithError("the PTF file could not be written");
    if (!freeModel) state.PauseTiming();
    ptf.reset();
    if (!freeModel) state.ResumeTiming();
  }
  std::error_code ec;
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path, ec));
  std::filesystem::remove(path, ec);
  state.SetItemsProcessed(state.iterations() * sections);
  state.counters["per_section"] = benchmark::Counter(static_cast<double>(state.iterations() * sections),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BuildAndWritePtf(benchmark::State& state) { BuildAndWrite(state, false); }
void BM_BuildWriteAndFree(benchmark::State& state) { BuildAndWrite(state, true); }

// Building alone, without the file and without freeing the model.
void BM_BuildOnly(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto ptf = std::make_unique<CN5Ptf>();
    BuildGeneratedTrack(*ptf, sections, 25000);
    benchmark::DoNotOptimize(ptf->GetTrackLength());
    state.PauseTiming();
    ptf.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * sections);
}

BENCHMARK(BM_BuildAndWritePtf)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildWriteAndFree)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildOnly)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
