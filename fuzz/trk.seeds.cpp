// Writes the seed corpus of the GPL track reader: small tracks from the test
// builder in the classic, type 3000 and type 2000 layouts, a track whose
// sections carry walls, and a cut-short file.
#include <cstdio>
#include <string>
#include <vector>

#include "app/support/FileIO.h"
#include "tests/support/gpl/TrkBuilder.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], error;
  int n = 0, wanted = 0;
  auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    ++wanted;
    if (ReplaceFile(JoinPath(dir, name), bytes, error)) ++n;
  };
  for (int type : {1, 3000, 2000}) put("circuit" + std::to_string(type) + ".trk", BuildTrk(ClosedCircuit(type)));
  put("small.trk", BuildTrk(LargeCircuit(4, 3)));
  TrkBuildTrack two;
  two.columns = {-5, 5};
  two.sections.resize(2);
  two.sections[0].tractions = StandardTractions();
  two.sections[0].walls = {TrkBuildWall{1, -6, -6}, TrkBuildWall{1, 6, 7}};
  two.sections[1].curve = true;
  two.sections[1].turnDeg = 180;
  put("two.trk", BuildTrk(two));
  std::vector<uint8_t> cut = BuildTrk(two);
  cut.resize(cut.size() - 10);
  put("cut.trk", cut);
  std::printf("%d seeds written\n", n);
  return n == wanted ? 0 : 1;
}
