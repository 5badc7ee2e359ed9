// Writes the seed corpus of the PTF import road: tracks built from test
// descriptions in both record versions, record trees shaped like other
// tools' tracks (one with a null entry first in its segment array, one
// inside a group), and a track with a track.ini beside it.
#include <string>
#include <vector>

#include "fuzz/RoadFuzz.h"
#include "fuzz/SeedWriter.h"
#include "mapping/PtfMapping.h"
#include "tests/support/description/Descriptions.h"
#include "tests/support/ptf/RecordTrees.h"

using namespace lapforge;

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
  CSeedWriter seeds(argv[1]);
  // A seed that could not be built counts as not written.
  auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    seeds.Put(name, bytes, !bytes.empty());
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
  return seeds.Finish();
}
