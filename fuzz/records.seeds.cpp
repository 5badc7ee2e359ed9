// Writes the seed corpus of the record reader: small trees from the test
// builders, a file shaped like the games' own trackside objects, and the
// small framing cases (shared child, empty list, null child).
#include <string>
#include <vector>

#include "fuzz/SeedWriter.h"
#include "tests/support/ptf/RecordBytes.h"
#include "tests/support/ptf/RecordTrees.h"

using namespace lapforge;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  CSeedWriter seeds(argv[1]);
  seeds.Put("tso.3do", MakeTrackSideTree()->WriteToBuffer());
  seeds.Put("game_tso.3do", MakeGameTrackSideFile());
  for (int v : {5, 6, 7}) {
    seeds.Put("track" + std::to_string(v) + ".ptf", MakeTrackTree(2, v)->WriteToBuffer());
    seeds.Put("every" + std::to_string(v) + ".ptf", MakeEveryKindTree(v)->WriteToBuffer());
  }
  CRecordBytes shared;
  shared.Record(1, 2, "GroupDescriptor").Header("", 1).U32(1).Zeroes(48).U32(1).U32(3).U32(12);
  shared.Record(3, 4, "EmptyDescriptor").U32(1).U32(0).U32(3).U32(0);
  seeds.Put("shared.3do", shared.Bytes());
  CRecordBytes empty;
  empty.Record(1, 2, "EmptyDescriptor").U32(1).U32(0);
  seeds.Put("empty.3do", empty.Bytes());
  return seeds.Finish();
}
