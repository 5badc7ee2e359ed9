// Reading and writing record trees of 100,000, 400,000 and 800,000 records: a track
// of segments, each with three bands and two bank lines.
#include <benchmark/benchmark.h>

#include "bench/EvictCaches.h"
#include "ptf/Descriptors.h"

namespace lapforge {

namespace {

std::unique_ptr<CN5Root> MakeTree(int records) {
  auto root = std::make_unique<CN5Root>();
  root->formatVersion = 7;
  auto* tk = root->Create<CN5ObjTk>(nullptr);
  int made = 1;
  while (made < records) {
    auto* sg = root->Create<CN5ObjSg>(tk, &tk->segments);
    ++made;
    for (int b = 0; b < 3 && made < records; ++b, ++made) root->Create<CN5ObjFs>(sg, &sg->bands)->latStart = b;
    for (int b = 0; b < 2 && made < records; ++b, ++made) root->Create<CN5ObjXs>(sg, &sg->bankLines)->latStart = b;
  }
  return root;
}

void BM_Write(benchmark::State& state) {
  auto tree = MakeTree(int(state.range(0)));
  for (auto _ : state) {
    tree->ResetWriteIds();
    auto bytes = tree->WriteToBuffer();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Reading includes releasing the tree; the file image is handed over as a
// file read would hand it (copied outside the timing).
void BM_Read(benchmark::State& state) {
  const auto bytes = MakeTree(int(state.range(0)))->WriteToBuffer();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint8_t> image = bytes;
    state.ResumeTiming();
    {
      CN5Root root;
      const bool ok = static_cast<bool>(root.ReadFromBuffer(std::move(image), "bench"));
      if (!ok || root.All().size() != size_t(state.range(0))) state.SkipWithError("read failed");
      benchmark::DoNotOptimize(ok);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Both directions again with the caches emptied before each run.
void BM_WriteCold(benchmark::State& state) {
  auto tree = MakeTree(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
    tree->ResetWriteIds();
    auto bytes = tree->WriteToBuffer();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadCold(benchmark::State& state) {
  const auto bytes = MakeTree(int(state.range(0)))->WriteToBuffer();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint8_t> image = bytes;
    EvictCaches();
    state.ResumeTiming();
    {
      CN5Root root;
      const bool ok = static_cast<bool>(root.ReadFromBuffer(std::move(image), "bench"));
      if (!ok || root.All().size() != size_t(state.range(0))) state.SkipWithError("read failed");
      benchmark::DoNotOptimize(ok);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The two halves of BM_Read apart: parsing alone (the tree is released
// outside the timing) and releasing alone.
void BM_Parse(benchmark::State& state) {
  const auto bytes = MakeTree(int(state.range(0)))->WriteToBuffer();
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<uint8_t> image = bytes;
    auto root = std::make_unique<CN5Root>();
    state.ResumeTiming();
    const bool ok = static_cast<bool>(root->ReadFromBuffer(std::move(image), "bench"));
    benchmark::DoNotOptimize(ok);
    state.PauseTiming();
    if (!ok || root->All().size() != size_t(state.range(0))) state.SkipWithError("read failed");
    root.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Release(benchmark::State& state) {
  const auto bytes = MakeTree(int(state.range(0)))->WriteToBuffer();
  for (auto _ : state) {
    state.PauseTiming();
    auto root = std::make_unique<CN5Root>();
    if (!root->ReadFromBuffer(bytes, "bench")) state.SkipWithError("read failed");
    state.ResumeTiming();
    root.reset();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Write)->Arg(100000)->Arg(400000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->Arg(100000)->Arg(400000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCold)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCold)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Release)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);

}  // namespace lapforge
