// Writes the seed corpus of the record reader: small trees from the test builders.
#include <cstdio>
#include <string>

#include "app/support/FileIO.h"
#include "tests/support/ptf/RecordTrees.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], error;
  int n = 0;
  ReplaceFile(JoinPath(dir, "tso.3do"), MakeTrackSideTree()->WriteToBuffer(), error) && ++n;
  for (int v : {5, 6, 7})
    ReplaceFile(JoinPath(dir, "track" + std::to_string(v) + ".ptf"), MakeTrackTree(2, v)->WriteToBuffer(), error) &&
        ++n;
  std::printf("%d seeds written\n", n);
  return n == 4 ? 0 : 1;
}
