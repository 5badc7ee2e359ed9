// Writes the seed corpus of the GPL import road: small tracks from the test
// builder in the classic and type 3000 layouts, with a texture list and a
// track.ini beside them, and a track whose sections carry walls.
#include <string>
#include <vector>

#include "fuzz/RoadFuzz.h"
#include "fuzz/SeedWriter.h"
#include "tests/support/gpl/TrkBuilder.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  const std::string tex =
      "1 0 1 10.0 4.0 asphalt // road\r\n2 0 1 5 5 kerb\r\n2049 0 1 8 0 wall\r\n2049 0 2 0 0 walltop\r\n"
      "2049 0 4 0 0 wallend\r\n";
  const std::string ini = "[pit_lane_0]\r\nlane_merge_dlong=300\r\nstall_0=10 -2 0\r\nstall_1=20 -2 0\r\n";
  for (int type : {1, 3000}) {
    std::vector<uint8_t> trk = BuildTrk(ClosedCircuit(type));
    seeds.Put("circuit" + std::to_string(type) + ".trk", trk);
    seeds.Put("circuit" + std::to_string(type) + "_sides.trk", roadfuzz::Join(trk, ini, tex));
  }
  seeds.Put("small.trk", roadfuzz::Join(BuildTrk(LargeCircuit(4, 3)), "", tex));
  seeds.Put("two.trk", BuildTrk(WalledTwoSections()));
  return seeds.Finish();
}
