// Loading and writing a big track description: 5,000 sections of 12 bands
// and walls (about 20 MB of XML). The load + write time is compared with
// the time `xmllint --noout` takes to parse the same file, measured in the
// same run when xmllint is installed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "description/TrkDsc.h"
#include "support/FileIO.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

const std::string& BigFile() {
  static const std::string path = [] {
    std::string p = "/tmp/lapforge-bench-description.xml";
    TrkDsc ds;
    FillCircuit(ds, 5000, 12);
    if (Result written = ds.WriteXml(p); !written) std::fprintf(stderr, "%s\n", written.Text().c_str());
    return p;
  }();
  return path;
}

void BM_LoadAndWrite(benchmark::State& state) {
  const std::string& in = BigFile();
  std::string text;
  if (Result read = ReadWholeFile(in, text); !read) state.SkipWithError(read.Text().c_str());
  for (auto _ : state) {
    TrkDsc ds;
    if (!ds.ReadXml(in)) state.SkipWithError("the description could not be read");
    std::string out = ds.GetXml();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadAndWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Load(benchmark::State& state) {
  const std::string& in = BigFile();
  for (auto _ : state) {
    TrkDsc ds;
    if (!ds.ReadXml(in)) state.SkipWithError("the description could not be read");
    benchmark::DoNotOptimize(ds.Section.Count());
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Write(benchmark::State& state) {
  TrkDsc ds;
  if (!ds.ReadXml(BigFile())) state.SkipWithError("the description could not be read");
  for (auto _ : state) {
    std::string out = ds.GetXml();
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The reference: xmllint parsing the same file, timed around the process.
void BM_XmllintNoout(benchmark::State& state) {
  const std::string cmd = "xmllint --noout " + BigFile() + " 2>/dev/null";
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
    state.SkipWithError("xmllint is not installed");
    return;
  }
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("xmllint failed");
  }
}
BENCHMARK(BM_XmllintNoout)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

}  // namespace lapforge
