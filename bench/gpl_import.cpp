// The GPL import of a track of 1,000 sections with 20 tractions each, beside
// writing the resulting description alone: the import reads the TRK, builds
// the description, the texture and material tables and "_blank.tex", and
// writes the same XML, so the two figures show what the import adds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "description/TrkDsc.h"
#include "description/tables/MaterialTable.h"
#include "mapping/GplMapping.h"
#include "roads/Lapforge.h"
#include "support/FileIO.h"
#include "tests/support/gpl/TrkBuilder.h"

namespace lapforge {

namespace {

struct Fixture {
  std::string dir, trk, xml;
  Fixture() {
    char tmpl[] = "/tmp/bench_gpl_XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    if (!d) std::abort();
    dir = std::string(d) + "/";
    trk = dir + "large.trk";
    xml = dir + "large.xml";
    if (!ReplaceFile(trk, BuildTrk(LargeCircuit(1000, 20)))) std::abort();
  }
  ~Fixture() {
    for (const char* f : {"large.trk", "large.xml", "_blank.tex"}) std::remove((dir + f).c_str());
    ::rmdir(dir.c_str());
  }
};

Fixture& Files() {
  static Fixture f;
  return f;
}

void BM_GplImportToXml(benchmark::State& state) {
  Fixture& f = Files();
  for (auto _ : state) {
    int r = CLapforge().GplTrktoXML(f.trk, f.xml, false, true);
    if (r != 1) state.SkipWithError("import failed");
  }
}
BENCHMARK(BM_GplImportToXml)->Unit(benchmark::kMillisecond);

void BM_WriteDescriptionOnly(benchmark::State& state) {
  Fixture& f = Files();
  Result read;
  std::unique_ptr<TrkDsc> ds = DataBaseFromGplTrk(f.trk, false, true, read);
  if (!ds) {
    state.SkipWithError("import failed");
    return;
  }
  for (auto _ : state) {
    int r = CLapforge().DataBaseToXML(*ds, f.xml);
    if (r != 1) state.SkipWithError("write failed");
  }
  state.counters["tractions"] = ds->Traction.Count();
}
BENCHMARK(BM_WriteDescriptionOnly)->Unit(benchmark::kMillisecond);

// The import without the XML, for the breakdown.
void BM_GplImportDescriptionOnly(benchmark::State& state) {
  Fixture& f = Files();
  for (auto _ : state) {
    Result read;
    std::unique_ptr<TrkDsc> ds = DataBaseFromGplTrk(f.trk, false, true, read);
    benchmark::DoNotOptimize(ds.get());
  }
}
BENCHMARK(BM_GplImportDescriptionOnly)->Unit(benchmark::kMillisecond);

// The reader and the mapping alone: every section, traction and contour
// value and the texture lists, without the description's rows.
void BM_GplReadAndMapOnly(benchmark::State& state) {
  Fixture& f = Files();
  std::vector<TractionRecord> tractions;
  std::vector<ContourRecord> contours;
  for (auto _ : state) {
    Result read;
    std::unique_ptr<CNTrkGplDb> trk = CNTrkGplDb::CreateFromFile(f.trk, read);
    if (!trk) {
      state.SkipWithError("read failed");
      return;
    }
    TrackSummaryRecord sum;
    SectionRecord sec;
    trk->DbGetSummary(sum);
    for (int i = 0; i < trk->GetNumberOfSections(); ++i) {
      trk->DbGetSection(i, sec);
      trk->DbGetTractions(i, tractions, false);
      trk->DbGetContours(i, contours);
    }
    CTrackTractionTexArray tt = trk->DbGetTractionTex();
    CTrackWallTexArray wt = trk->DbGetWallTex();
    CTrackMaterialArray materials;
    BuildMaterialTable(materials, tt, wt, true);
    benchmark::DoNotOptimize(materials.GetSize());
  }
}
BENCHMARK(BM_GplReadAndMapOnly)->Unit(benchmark::kMillisecond);

// A crafted track of 1,000 sections with 80 bands each, every band with a
// (surface code, texture index) pair of its own, arriving in ascending
// (argument 0) or descending (1) order: the texture lists must cost the
// same either way.
void BM_GplImportDistinctPairs(benchmark::State& state) {
  const bool descending = state.range(0) != 0;
  char tmpl[] = "/tmp/bench_gpl_pairs_XXXXXX";
  const char* d = ::mkdtemp(tmpl);
  if (!d) std::abort();
  const std::string dir = std::string(d) + "/", trk = dir + "pairs.trk";
  if (!ReplaceFile(trk, BuildTrk(DistinctPairsCircuit(1000, 80, descending)))) std::abort();
  for (auto _ : state) {
    Result read;
    std::unique_ptr<TrkDsc> ds = DataBaseFromGplTrk(trk, false, true, read);
    if (!ds) {
      state.SkipWithError("import failed");
      break;
    }
    state.counters["textures"] = ds->TractionTex.Count();
  }
  for (const char* f : {"pairs.trk", "_blank.tex"}) std::remove((dir + f).c_str());
  ::rmdir(dir.c_str());
}
BENCHMARK(BM_GplImportDistinctPairs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
