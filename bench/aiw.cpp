// The AI waypoint file of a 25 km track from its racing lines, beside the
// plain cost of writing a text file of the same size with one fprintf per
// line. The AIW file is built in memory and written through a temporary
// file (with its flush to disk), so the whole-file figure is also shown
// without the write.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/aiw/AiwFile.h"
#include "support/FileIO.h"
#include "tests/support/formats/LpCamFiles.h"
#include "tests/support/track/TrackBuilders.h"

namespace lapforge {

namespace {

constexpr double kLength = 25000;
constexpr int kSections = 500;

struct Setup {
  CN5Ptf track;
  VARS_AIW_TRACK_INFO info;
  std::string folder = "/tmp/lapforge-bench-aiw";
  std::string out = folder + "/track.aiw";
  size_t bytes = 0;
  size_t lines = 0;
};

Setup& TheSetup() {
  static Setup* s = [] {
    auto* s = new Setup;
    BuildGeneratedTrack(s->track, kSections, kLength);
    s->info.mergePitIn = 24600;
    s->info.mergePitOut = 300;
    s->info.stallsLongStart = 24700;
    s->info.stallsLongEnd = 100;
    s->info.stallsLatStart = -9;
    s->info.stallsLatEnd = -9;
    std::string mk = "mkdir -p " + s->folder;
    if (std::system(mk.c_str()) != 0) std::fprintf(stderr, "cannot create %s\n", s->folder.c_str());
    const size_t records = static_cast<size_t>(kLength / 3) + 2;
    std::vector<float> race(records), pit(records, -8);
    for (size_t i = 0; i < records; ++i) race[i] = static_cast<float>((i % 40) < 20 ? 4 : -4);
    WriteLpFile(s->folder, "race.lp", BuildLp(race));
    WriteLpFile(s->folder, "pit0.lp", BuildLp(pit));
    CZWriteAIW writer;
    if (Result written = writer.AIWFromLP(s->track, s->info, s->folder + "/race.lp", s->out, 1); !written)
      std::fprintf(stderr, "%s\n", written.Text().c_str());
    std::string text;
    if (Result read = ReadWholeFile(s->out, text); !read) std::fprintf(stderr, "%s\n", read.Text().c_str());
    s->bytes = text.size();
    for (char c : text) s->lines += c == '\n';
    return s;
  }();
  return *s;
}

void BM_AiwFromLp(benchmark::State& state) {
  Setup& s = TheSetup();
  for (auto _ : state) {
    CZWriteAIW writer;
    benchmark::DoNotOptimize(writer.AIWFromLP(s.track, s.info, s.folder + "/race.lp", s.out, 1));
  }
  state.counters["file_MB"] = static_cast<double>(s.bytes) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
}
BENCHMARK(BM_AiwFromLp)->Unit(benchmark::kMillisecond);

void BM_AiwTextInMemory(benchmark::State& state) {
  Setup& s = TheSetup();
  CLReadLP lp;
  if (Result read = lp.ReadLPLines(s.folder + "/race.lp"); !read) {
    state.SkipWithError(read.Text().c_str());
    return;
  }
  for (auto _ : state) {
    CZWriteAIW writer;
    std::string text = writer.BuildAiw(s.track, s.info, lp, 1);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
}
BENCHMARK(BM_AiwTextInMemory)->Unit(benchmark::kMillisecond);

// One line of waypoint-like text, one fprintf per line, cycling through
// the kinds of line the AIW file has (three or four numbers, integers, a
// fixed text). Returns the bytes written.
size_t ReferenceLine(std::FILE* f, size_t i) {
  const double v = static_cast<double>(i);
  int n = 0;
  switch (i % 4) {
    case 0: n = std::fprintf(f, "wp_pos=(%4.4f,%4.4f,%4.4f)\r\n", v * 0.37, v * 0.011, -v * 0.53); break;
    case 1: n = std::fprintf(f, "wp_width=(%3.3f,%3.3f,%3.3f,%3.3f)\r\n", v * 1e-3, 9.5, v * 2e-3, 11.25); break;
    case 2: n = std::fprintf(f, "WP_PTRS=(%d,%d,%d,%d)\r\n", static_cast<int>(i), static_cast<int>(i + 2), -1, 0); break;
    default: n = std::fprintf(f, "wp_galpha=(0.04000)\r\n"); break;
  }
  return n > 0 ? static_cast<size_t>(n) : 0;
}

// The reference: as many bytes of such text to a file that is then closed.
void BM_FprintfReference(benchmark::State& state) {
  Setup& s = TheSetup();
  const std::string path = s.folder + "/reference.txt";
  size_t lines = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      state.SkipWithError("cannot create the reference file");
      break;
    }
    size_t written = 0;
    for (lines = 0; written < s.bytes; ++lines) written += ReferenceLine(f, lines);
    std::fclose(f);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["aiw_lines"] = static_cast<double>(s.lines);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
}
BENCHMARK(BM_FprintfReference)->Unit(benchmark::kMillisecond);

// The same with the flush to disk that the safe replacement of a user's
// file does.
void BM_FprintfReferenceSynced(benchmark::State& state) {
  Setup& s = TheSetup();
  const std::string path = s.folder + "/reference.txt";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      state.SkipWithError("cannot create the reference file");
      break;
    }
    size_t written = 0;
    for (size_t i = 0; written < s.bytes; ++i) written += ReferenceLine(f, i);
    std::fflush(f);
    ::fsync(fileno(f));
    std::fclose(f);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes));
}
BENCHMARK(BM_FprintfReferenceSynced)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lapforge
