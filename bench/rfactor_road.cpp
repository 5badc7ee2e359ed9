// The rFactor and MTS roads on a generated 25 km circuit meshed at 1 m:
// XML file in, every block file, scene file and template out (load, build,
// mesh, write), each beside a plain copy of the same files (same count,
// same bytes) as the reference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/FileIO.h"
#include "support/UserInterface.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

namespace fs = std::filesystem;

const std::string kRoot = "/tmp/lapforge-bench-rfactor";

// The description written once as XML.
const std::string& TrackXml() {
  static const std::string path = [] {
    fs::create_directories(kRoot);
    TrkDsc ds;
    CircuitOptions options;
    options.length = 25000;
    options.sections = 200;
    options.longRes = 1;
    options.banked = true;
    options.detailEvery = 10;
    FillGeneratedCircuit(ds, options);
    const std::string p = kRoot + "/track.xml";
    if (!CLapforge().DataBaseToXML(ds, p)) std::fprintf(stderr, "the description was not written\n");
    return p;
  }();
  return path;
}

struct Output {
  size_t files = 0;
  size_t bytes = 0;
};

Output Measure(const std::string& folder) {
  Output out;
  for (const auto& entry : fs::directory_iterator(folder)) {
    ++out.files;
    out.bytes += static_cast<size_t>(entry.file_size());
  }
  return out;
}

template <class Road>
void RunRoad(benchmark::State& state, const char* name, Road road) {
  const std::string& xml = TrackXml();
  const std::string folder = kRoot + "/" + name;
  int blocks = 0;
  for (auto _ : state) blocks = road(xml, folder);
  const Output out = Measure(folder);
  state.counters["blocks"] = blocks;
  state.counters["files"] = static_cast<double>(out.files);
  state.counters["out_MB"] = static_cast<double>(out.bytes) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(out.bytes));
}

// Reads every file a road wrote and writes it to another folder the way
// the road writes its files (temporary file and rename).
void CopyOutput(benchmark::State& state, const char* name) {
  const std::string from = kRoot + "/" + name;
  const std::string to = kRoot + "/" + name + "-copy";
  fs::create_directories(to);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(from)) files.push_back(entry.path().filename().string());
  size_t bytes = 0;
  std::vector<uint8_t> buffer;
  for (auto _ : state) {
    bytes = 0;
    for (const std::string& f : files) {
      if (!ReadWholeFile(from + "/" + f, buffer) || !ReplaceFile(to + "/" + f, buffer))
        state.SkipWithError("a file could not be copied");
      bytes += buffer.size();
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["out_MB"] = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_XmlToRFactor(benchmark::State& state) {
  RunRoad(state, "rfactor",
          [](const std::string& xml, const std::string& out) { return CLapforge().XMLtoRFactor(xml, out); });
}
BENCHMARK(BM_XmlToRFactor)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CopyRFactorOutput(benchmark::State& state) { CopyOutput(state, "rfactor"); }
BENCHMARK(BM_CopyRFactorOutput)->Unit(benchmark::kMillisecond)->Iterations(3);

// The writing half alone: the blocks built once, then every file written.
void WriteOnly(benchmark::State& state, const char* name, const MeshExportFormat& format) {
  static MeshExportModel* built = [] {
    auto* m = new MeshExportModel();
    std::unique_ptr<TrkDsc> db = CLapforge().DataBaseFromXML(TrackXml());
    CLapforge driver;
    if (!db || !CMeshExportRoad::Build(driver, *db, *m)) std::fprintf(stderr, "the track was not built\n");
    return m;
  }();
  const std::string folder = kRoot + "/" + name;
  fs::create_directories(folder);
  for (auto _ : state) benchmark::DoNotOptimize(CMeshExportRoad::WriteFiles(*built, folder, format).written.size());
  state.counters["blocks"] = built->blocks.GetSize();
}

void BM_WriteRFactorFilesOnly(benchmark::State& state) { WriteOnly(state, "rfactor-write", RFactorExportFormat()); }
BENCHMARK(BM_WriteRFactorFilesOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteMtsFilesOnly(benchmark::State& state) { WriteOnly(state, "mts-write", MtsExportFormat()); }
BENCHMARK(BM_WriteMtsFilesOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_XmlToMts(benchmark::State& state) {
  RunRoad(state, "mts", [](const std::string& xml, const std::string& out) { return CLapforge().XMLToMTS(xml, out); });
}
BENCHMARK(BM_XmlToMts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CopyMtsOutput(benchmark::State& state) { CopyOutput(state, "mts"); }
BENCHMARK(BM_CopyMtsOutput)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

}  // namespace lapforge
