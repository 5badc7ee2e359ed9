// The streamed mesh exports (glTF .glb, rFactor, MTS, 3DS, 3SE) of generated circuits
// of 25 km and 100 km meshed at 1 m by 1 m, each beside its yardstick in the
// same run: a byte copy of the very files it wrote, each synced, as
// `cp` and `sync` would make them. Every export and copy starts with cold
// caches. peak_MB is the most memory the export held at once (counted by
// this program's operator new, the description excluded): it stays with
// the largest block as the track grows.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/EvictCaches.h"
#include "bench/HeapCount.h"
#include "description/TrkDsc.h"
#include "roads/Lapforge.h"
#include "support/Memory.h"
#include "support/UserInterface.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption) override {
    if (caption != "Textures") std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  bool YesNo(const std::string&, const std::string&) override { return false; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::No; }
};

enum Format { kGlb, kRFactor, kMts, k3ds, k3se };
const char* const kFormatNames[] = {"glb", "rfactor", "mts", "3ds", "3se"};
// The formats written as a folder of block files.
bool IsFolder(int format) { return format == kRFactor || format == kMts; }

const TrkDsc& Track(int km) {
  static std::map<int, TrkDsc> tracks;
  auto [it, fresh] = tracks.try_emplace(km);
  if (fresh) {
    FillGeneratedCircuit(it->second, FineCircuit(km));
  }
  return it->second;
}

std::string Folder(int format, int km) {
  return "/tmp/lapforge-bench-stream/" + std::string(kFormatNames[format]) + std::to_string(km);
}

// Every run starts as a command on a quiet machine would: the file system's
// cache written out and, where this process may (as root), let go, so that
// neither the export nor the copy pays for the pages the run before left.
void StartCold() {
  EvictCaches();
  ::sync();
  if (std::FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w")) {
    std::fputs("1", f);
    std::fclose(f);
  }
}

// The export's output: a folder for rFactor and MTS, a file in it otherwise.
std::string Output(int format, int km) {
  const std::string folder = Folder(format, km) + "/out";
  return IsFolder(format) ? folder : folder + "/track." + kFormatNames[format];
}

void BM_Export(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0)), km = static_cast<int>(state.range(1));
  const TrkDsc& ds = Track(km);
  std::filesystem::create_directories(Folder(format, km) + "/out");
  CQuietUI ui;
  CUserInterface* previous = SetUserInterface(&ui);
  size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    StartCold();
    const size_t base = benchheap::StartPeak();
    state.ResumeTiming();
    CLapforge lf;
    const std::string out = Output(format, km);
    const int blocks = format == kGlb       ? lf.GltfFromDataBase(ds, out)
                       : format == kRFactor ? lf.RFactorFromDataBase(ds, out)
                       : format == kMts     ? lf.MTSFromDataBase(ds, out)
                       : format == k3ds     ? lf._3DSFromDataBase(ds, out)
                                            : lf._3SEFromDataBase(ds, out);
    if (blocks == 0) state.SkipWithError("the export failed");
    peak = std::max(peak, benchheap::Peak() - base);
  }
  SetUserInterface(previous);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

// The yardstick: every file the export wrote read and written again under
// another name, and synced.
void BM_CopyOfItsOutput(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0)), km = static_cast<int>(state.range(1));
  const std::string from = Folder(format, km) + "/out", to = Folder(format, km) + "/copy";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(from))
    if (entry.is_regular_file()) files.push_back(entry.path());
  if (files.empty()) {
    state.SkipWithError("no output to copy (run with the export)");
    return;
  }
  std::filesystem::create_directories(to);
  std::vector<char> buffer(size_t(1) << 20);
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    StartCold();
    state.ResumeTiming();
    bytes = 0;
    for (const auto& file : files) {
      const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
      const int out = ::open((to + "/" + file.filename().string()).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      ssize_t n;
      while (in >= 0 && out >= 0 && (n = ::read(in, buffer.data(), buffer.size())) > 0) {
        if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) state.SkipWithError("the copy failed");
        bytes += static_cast<double>(n);
      }
      if (out >= 0) ::fsync(out);
      if (in >= 0) ::close(in);
      if (out >= 0) ::close(out);
    }
  }
  state.counters["output_MB"] = bytes / 1e6;
}

// Each export beside its copy: registered in pairs, export first.
void Register() {
  // As the fronts do (cli/main.cpp, gui/main.cpp).
  KeepFreedMemory();
  for (int km : {25, 100})
    for (int format : {kGlb, kRFactor, kMts, k3ds, k3se}) {
      const std::string name = std::string(kFormatNames[format]) + "/" + std::to_string(km) + "km";
      benchmark::RegisterBenchmark(("Export/" + name).c_str(), BM_Export)
          ->Args({format, km})
          ->Unit(benchmark::kMillisecond)
          ->Iterations(2);
      benchmark::RegisterBenchmark(("CopyOfItsOutput/" + name).c_str(), BM_CopyOfItsOutput)
          ->Args({format, km})
          ->Unit(benchmark::kMillisecond)
          ->Iterations(2);
    }
}
const bool registered = (Register(), true);

}  // namespace

}  // namespace lapforge
