// Writes the seed corpus of the GPL track reader: small tracks from the test
// builder in the classic, type 3000 and type 2000 layouts, a track whose
// sections carry walls, and a cut-short file.
#include <string>
#include <vector>

#include "fuzz/SeedWriter.h"
#include "tests/support/gpl/TrkBuilder.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  for (int type : {1, 3000, 2000})
    seeds.Put("circuit" + std::to_string(type) + ".trk", BuildTrk(ClosedCircuit(type)));
  seeds.Put("small.trk", BuildTrk(LargeCircuit(4, 3)));
  const TrkBuildTrack two = WalledTwoSections();
  seeds.Put("two.trk", BuildTrk(two));
  std::vector<uint8_t> cut = BuildTrk(two);
  cut.resize(cut.size() - 10);
  seeds.Put("cut.trk", cut);
  return seeds.Finish();
}
