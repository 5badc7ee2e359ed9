// Writes the seed corpus of the record reader: small trees from the test
// builders, a file shaped like the games' own trackside objects, and the
// small framing cases (shared child, empty list, null child).
#include <cstdio>
#include <string>
#include <vector>

#include "app/support/FileIO.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1], error;
  int n = 0, wanted = 0;
  auto put = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    ++wanted;
    if (ReplaceFile(JoinPath(dir, name), bytes, error)) ++n;
  };
  put("tso.3do", MakeTrackSideTree()->WriteToBuffer());
  put("game_tso.3do", MakeGameTrackSideFile());
  for (int v : {5, 6, 7}) {
    put("track" + std::to_string(v) + ".ptf", MakeTrackTree(2, v)->WriteToBuffer());
    put("every" + std::to_string(v) + ".ptf", MakeEveryKindTree(v)->WriteToBuffer());
  }
  CRecordBytes shared;
  shared.Record(1, 2, "GroupDescriptor").Header("", 1).U32(1).Zeroes(48).U32(1).U32(3).U32(12);
  shared.Record(3, 4, "EmptyDescriptor").U32(1).U32(0).U32(3).U32(0);
  put("shared.3do", shared.Bytes());
  CRecordBytes empty;
  empty.Record(1, 2, "EmptyDescriptor").U32(1).U32(0);
  put("empty.3do", empty.Bytes());
  std::printf("%d seeds written\n", n);
  return n == wanted ? 0 : 1;
}
