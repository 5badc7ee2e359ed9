// The 3D preview on a generated circuit of 25 km meshed at 1 m by 1 m
// (about 1.7 million faces): the scene made from the description (the
// track built and meshed, blocks packed) beside its upload to the card and
// the time of one frame of 1280 x 720 from the orbit and the drive camera,
// each frame waited for. Needs an OpenGL 3.3 context: on a machine without
// a display, run it as xvfb-run -a bench_render_preview (Mesa's llvmpipe
// then draws on the processor).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "description/TrkDsc.h"
#include "preview/OffscreenRender.h"
#include "preview/PreviewCamera.h"
#include "preview/PreviewScene.h"
#include "support/UserInterface.h"
#include "tests/support/description/Descriptions.h"

namespace lapforge {

namespace {

constexpr int kWidth = 1280, kHeight = 720;

const TrkDsc& Track() {
  static TrkDsc track;
  static bool made = false;
  if (!made) {
    CircuitOptions o = FineCircuit(25);
    o.banked = true;  // as tools/make_circuit makes it: the bank lines cut the bands
    o.detailEvery = 10;
    FillGeneratedCircuit(track, o);
    made = true;
  }
  return track;
}

const CPreviewScene& Scene() {
  static CPreviewScene scene;
  static bool made = false;
  if (!made) {
    std::string message;
    if (!scene.Build(Track(), std::string(), nullptr, message)) std::fprintf(stderr, "scene: %s\n", message.c_str());
    made = true;
  }
  return scene;
}

// One context for the program, made at first use and kept to its end (Qt
// is gone by the time statics are destroyed); null, the benchmark skipped
// with the reason, when none can be had.
COffscreenRender* Offscreen(benchmark::State& state) {
  static COffscreenRender* offscreen = nullptr;
  static std::string failure;
  if (!offscreen && failure.empty()) {
    offscreen = new COffscreenRender();
    if (!offscreen->Start(kWidth, kHeight, failure)) offscreen = nullptr;
  }
  if (!offscreen) state.SkipWithError(failure.c_str());
  return offscreen;
}

void BM_BuildScene(benchmark::State& state) {
  const TrkDsc& track = Track();
  long long triangles = 0;
  for (auto _ : state) {
    CPreviewScene scene;
    std::string message;
    if (!scene.Build(track, std::string(), nullptr, message)) state.SkipWithError(message.c_str());
    triangles = static_cast<long long>(scene.Indices().size() / 3);
  }
  state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_Upload(benchmark::State& state) {
  const CPreviewScene& scene = Scene();
  COffscreenRender* offscreen = Offscreen(state);
  if (!offscreen) return;
  for (auto _ : state) {
    offscreen->Upload(scene);
    offscreen->Finish();
  }
  state.counters["MB"] = static_cast<double>(offscreen->Renderer().UploadedBytes()) / 1e6;
}

void BM_Frame(benchmark::State& state) {
  const CPreviewScene& scene = Scene();
  COffscreenRender* offscreen = Offscreen(state);
  if (!offscreen) return;
  offscreen->Upload(scene);
  CPreviewCamera camera;
  camera.SetStations(scene.Stations());
  camera.Fit(scene.Bounds(), state.range(0) == 0 ? PreviewView::Orbit : PreviewView::Drive);
  for (auto _ : state) {
    offscreen->Render(camera, 3);
    offscreen->Finish();
  }
  state.counters["draws"] = offscreen->Renderer().DrawCalls();
}

}  // namespace

BENCHMARK(BM_BuildScene)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Upload)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Frame)->Arg(0)->Arg(1)->ArgNames({"drive"})->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace lapforge
