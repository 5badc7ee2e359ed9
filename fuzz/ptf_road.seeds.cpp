// Writes the seed corpus of the PTF import road: tracks built from test
// descriptions in both record versions, record trees shaped like other
// tools' tracks (one with a null entry first in its segment array, one
// inside a group), and a track with a track.ini beside it.
#include <cstdio>
#include <string>
#include <vector>

#include "app/support/FileIO.h"
#include "fuzz/RoadFuzz.h"
#include "ptf/N5PtfDb.h"
#include "tests/support/description/Descriptions.h"
#include "tests/support/ptf/RecordTrees.h"

namespace {
// The builder's odd segments are arcs without turn, which the track model
// refuses; the seeds make every segment a straight.
std::vector<uint8_t> Straight(std::unique_ptr<CN5Root> tree, bool nullFirst = false) {
  for (auto& o : tree->All()) {
    if (auto* sg = dynamic_cast<CN5ObjSg*>(o.get())) sg->segType = 0;
    if (auto* tk = dynamic_cast<CN5ObjTk*>(o.get()); tk && nullFirst && !tk->segments.empty())
      tk->segments[0] = nullptr;
  }
  return tree->WriteToBuffer();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], error;
  int n = 0, wanted = 0;
  auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    ++wanted;
    if (!bytes.empty() && ReplaceFile(JoinPath(dir, name), bytes, error)) ++n;
  };
  TrkDsc ds;
  FillCircuit(ds, 6, 4);
  for (int v : {5, 7}) {
    CN5PtfDb model;
    std::vector<uint8_t> bytes;
    if (PTFObjFromDataBase(ds, model, "")) bytes = model.WritePtfToBuffer(v);
    put("circuit" + std::to_string(v) + ".ptf", bytes);
    if (v == 7)
      put("circuit_ini.ptf", roadfuzz::Join(bytes,
                                            "[pit_lane_0]\r\nmerge_to_pit_line_dlong=120.5\r\nstall_0=10 2 0\r\n"
                                            "stall_3=40 2.5 0\r\n[ai_track]\r\npit_lane_start_dlong=80\r\n",
                                            ""));
  }
  put("other7.ptf", Straight(MakeTrackTree(3, 7)));
  put("other5.ptf", Straight(MakeTrackTree(2, 5)));
  put("nullfirst.ptf", Straight(MakeTrackTree(3, 7), true));
  put("group.ptf", Straight(MakeEveryKindTree(7)));
  std::printf("%d seeds written\n", n);
  return n == wanted ? 0 : 1;
}
