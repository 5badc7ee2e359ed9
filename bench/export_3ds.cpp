// The 3DS export of a generated 25 km circuit meshed at 1 m: our whole road
// (building the track, meshing it into blocks, writing the 3DS file) beside
// assimp's conversion alone of the same triangles (our glTF of the track) to
// 3DS, in one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "description/TrkDsc.h"
#include "formats/3ds/3dsFile.h"
#include "roads/Lapforge.h"
#include "roads/MeshExportRoad.h"
#include "support/UserInterface.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

// Answers the short-names question with No and keeps messages quiet.
class CQuietUI : public CUserInterface {
 public:
  void Message(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  bool YesNo(const std::string&, const std::string&) override { return false; }
  UiAnswer YesNoCancel(const std::string&, const std::string&) override { return UiAnswer::No; }
};

const std::string kFolder = "/tmp/lapforge-bench-3ds";

const TrkDsc& Track() {
  static TrkDsc ds;
  static bool filled = false;
  if (!filled) {
    FillGeneratedCircuit(ds, FineCircuit(25));
    filled = true;
    std::filesystem::create_directories(kFolder);
  }
  return ds;
}

void BM_Our3dsRoad(benchmark::State& state) {
  const TrkDsc& ds = Track();
  CQuietUI ui;
  CUserInterface* previous = SetUserInterface(&ui);
  const std::string out = kFolder + "/ours.3ds";
  for (auto _ : state) {
    if (CLapforge()._3DSFromDataBase(ds, out) == 0) state.SkipWithError("the 3DS export failed");
  }
  SetUserInterface(previous);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
}
BENCHMARK(BM_Our3dsRoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// The writer's share: the blocks built once, then objects added and the
// file image made in memory (no disk).
void BM_3dsImageOnly(benchmark::State& state) {
  CQuietUI ui;
  CUserInterface* previous = SetUserInterface(&ui);
  MeshExportModel built;
  CLapforge driver;
  if (!CMeshExportRoad::Build(driver, Track(), built)) state.SkipWithError("the track was not built");
  SetUserInterface(previous);
  size_t size = 0;
  for (auto _ : state) {
    CZMaxFile max;
    for (int i = 0; i < built.blocks.GetSize(); ++i)
      max.AddGlObject(built.blocks[i].points, built.blocks[i].faces, built.materials, built.blocks[i].name, false,
                      false);
    std::vector<uint8_t> image;
    if (!max.FileImage(image)) state.SkipWithError("the 3DS image could not be made");
    size = image.size();
    benchmark::DoNotOptimize(image.data());
  }
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}
BENCHMARK(BM_3dsImageOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AssimpGltfTo3ds(benchmark::State& state) {
  if (std::system("command -v assimp >/dev/null 2>&1") != 0) {
    state.SkipWithError("assimp is not installed");
    return;
  }
  const std::string glb = kFolder + "/track.glb";
  const std::string out = kFolder + "/assimp.3ds";
  // Made once per run from the current meshing, so both sides see the
  // same triangles.
  static bool made = false;
  if (!made) {
    made = true;
    CQuietUI ui;
    CUserInterface* previous = SetUserInterface(&ui);
    const int blocks = CLapforge().GltfFromDataBase(Track(), glb);
    SetUserInterface(previous);
    if (blocks == 0) {
      state.SkipWithError("the glTF export failed");
      return;
    }
  }
  const std::string command = "assimp export '" + glb + "' '" + out + "' >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("assimp export failed");
  }
  if (std::filesystem::exists(out))
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(out)) / 1e6;
}
BENCHMARK(BM_AssimpGltfTo3ds)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

}  // namespace lapforge
